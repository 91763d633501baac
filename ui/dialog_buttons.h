#pragma once
// The OK and Cancel buttons that every dialog of the program ends with.

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "ui/make_child.h"

namespace qmp::ui {

struct OkCancelButtons {
    QDialogButtonBox* box;
    QPushButton* cancel;
};

// `ok` (the dialog's own, so that it keeps its caption) as the default
// button, which calls the dialog's accept(), and "&Cancel", which like Esc
// calls its reject(); in a box laid out along `orientation`.
inline OkCancelButtons MakeOkCancelButtons(QDialog& dialog, QPushButton* ok,
                                           Qt::Orientation orientation = Qt::Horizontal) {
    auto* box = MakeChild<QDialogButtonBox>(orientation, &dialog);
    auto* cancel = MakeChild<QPushButton>(QDialog::tr("&Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    ok->setDefault(true);
    box->addButton(ok, QDialogButtonBox::AcceptRole);
    box->addButton(cancel, QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return {box, cancel};
}

}  // namespace qmp::ui
