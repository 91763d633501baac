#pragma once
// Widgets and other Qt objects owned by their Qt parent.

#include <memory>
#include <utility>

namespace qmp::ui {

// Creates a T from `args` (which name its Qt parent) and hands it to that
// parent, which deletes it with itself; the pointer is for use only.
template <typename T, typename... Args>
T* MakeChild(Args&&... args) {
    return std::make_unique<T>(std::forward<Args>(args)...).release();
}

}  // namespace qmp::ui
