// Generated databases for the search page benchmark: realistic field sizes
// (a caption of a few words, a description of about 200 characters, ten
// keywords, a nested relative URL), the same for the same seed.
'use strict';

function random(seed) {
    let s = seed >>> 0 || 1;
    return () => {
        s ^= s << 13;
        s >>>= 0;
        s ^= s >>> 17;
        s ^= s << 5;
        s >>>= 0;
        return s / 4294967296;
    };
}

const SYLLABLES = ['stone', 'quar', 'ry', 'mill', 'hel', 'ston', 'gran', 'ite', 'slate', 'lime', 'bar',
    'row', 'fell', 'dale', 'kiln', 'shaft', 'ridge', 'cop', 'per', 'tin', 'mar', 'ble', 'ca', 'fé',
    'sé', 'ña', 'ør', 'weg', 'berg', 'lan', 'tern', 'field', 'brook', 'ham', 'ton', 'wick'];

function vocabulary(rand, size) {
    const words = new Set();
    while (words.size < size) {
        let w = '';
        const parts = 1 + Math.floor(rand() * 3);
        for (let i = 0; i < parts; i++) w += SYLLABLES[Math.floor(rand() * SYLLABLES.length)];
        words.add(w);
    }
    return [...words];
}

// {categories, links} with `count` links in `categoryCount` categories.
function generate(count, seed = 7, categoryCount = 8) {
    const rand = random(seed);
    const words = vocabulary(rand, 5000);
    // Zipf-like choice: common words are far more frequent.
    const pick = () => words[Math.floor(words.length * Math.pow(rand(), 2.5))];
    const phrase = (n) => Array.from({ length: n }, pick).join(' ');
    const categories = ['All Categories'];
    for (let c = 1; c < categoryCount; c++) categories.push('Section ' + c + ' ' + pick());
    const links = [];
    for (let i = 0; i < count; i++) {
        const caption = phrase(3 + Math.floor(rand() * 5));
        let description = '';
        while (description.length < 180) description += (description ? ' ' : '') + pick();
        links.push({
            category: Math.floor(rand() * categoryCount),
            caption: caption[0].toUpperCase() + caption.slice(1),
            path: 'section-' + (i % 40) + '/' + pick() + '/' + pick() + '-' + i + '.html',
            description: description + '.',
            keywords: Array.from({ length: 10 }, pick)
        });
    }
    return { categories, links, pick };
}

module.exports = { generate, random };
