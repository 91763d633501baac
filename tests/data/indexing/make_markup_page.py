#!/usr/bin/env python3
"""Writes markup_page.html: a 45 kB page built the way site generators and
content systems build pages today, where markup outweighs the text: a head
with many metas, preloads and an inline theme script, a JSON-LD block, a
navigation menu of nested lists with long class lists, inline SVG icons, cards
with data attributes, an inline style block, prose with links and entities,
a cookie-banner script and a footer. Used by the keyword-rating tests and
benchmark. Deterministic: the same page every run."""
import random

random.seed(2024)

WORDS = ["heritage", "quarry", "granite", "society", "museum", "volunteer", "archive",
         "railway", "incline", "kiln", "limestone", "slate", "walk", "guided", "tour",
         "history", "workers", "village", "lecture", "exhibition", "membership", "family",
         "photograph", "collection", "map", "trail", "stone", "mason", "crane", "blasting"]
CLASSES = ["flex", "items-center", "justify-between", "px-4", "py-2", "md:px-8", "text-sm",
           "font-medium", "text-slate-700", "hover:text-slate-900", "rounded-lg", "shadow-sm",
           "bg-white", "dark:bg-slate-800", "grid", "gap-6", "sm:grid-cols-2", "lg:grid-cols-3",
           "transition-colors", "duration-150", "focus:outline-none", "focus:ring-2"]


def classes(n):
    return " ".join(random.sample(CLASSES, n))


def words(n):
    return " ".join(random.choice(WORDS) for _ in range(n))


def sentence():
    s = words(random.randint(6, 14))
    return s[0].upper() + s[1:] + random.choice([".", ".", ",", ";"]) 


def icon():
    path = " ".join("%s%d %d" % (random.choice("MLCQ"), random.randint(0, 24), random.randint(0, 24))
                    for _ in range(random.randint(6, 14)))
    return ('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="none" '
            'stroke="currentColor" stroke-width="1.5" class="h-5 w-5 shrink-0" aria-hidden="true">'
            '<path stroke-linecap="round" stroke-linejoin="round" d="%s Z"/></svg>' % path)


out = []
out.append("""<!doctype html>
<html lang="en" class="scroll-smooth" data-theme="light">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1, viewport-fit=cover">
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>Guided walks and lectures | Harrowfell Quarry Heritage Society</title>
<meta name="description" content="Guided walks along the old quarry incline, winter lectures and the photograph archive of the Harrowfell Quarry Heritage Society.">
<meta name="keywords" content="quarry heritage, guided walks, slate, incline railway, lectures, photograph archive">
<meta property="og:title" content="Guided walks and lectures">
<meta property="og:type" content="website">
<meta property="og:image" content="https://example.org/assets/img/og-default.3f9c2a.jpg">
<meta name="twitter:card" content="summary_large_image">
<link rel="preconnect" href="https://fonts.example.org" crossorigin>
<link rel="preload" href="/assets/fonts/inter-var.woff2" as="font" type="font/woff2" crossorigin>
<link rel="stylesheet" href="/assets/css/main.8d1e44.css">
<link rel="icon" href="/favicon.svg" type="image/svg+xml">
<script>
  (function () {
    var stored = localStorage.getItem('theme');
    var dark = stored ? stored === 'dark' : window.matchMedia('(prefers-color-scheme: dark)').matches;
    document.documentElement.classList.toggle('dark', dark);
    document.documentElement.setAttribute('data-theme', dark ? 'dark' : 'light');
  })();
</script>
<script type="application/ld+json">
{"@context":"https://schema.org","@type":"Organization","name":"Harrowfell Quarry Heritage Society",
 "url":"https://example.org/","logo":"https://example.org/assets/img/logo.svg",
 "sameAs":["https://social.example.org/@harrowfell","https://video.example.org/c/harrowfell"],
 "address":{"@type":"PostalAddress","streetAddress":"Old Weighhouse, Quarry Lane","addressLocality":"Harrowfell","postalCode":"HF4 2QL"}}
</script>
<style>
""")
for i in range(30):
    out.append("  .c%d{margin:%dpx %dpx;padding:.%drem;color:#%06x;border-radius:%dpx}\n"
               % (i, random.randint(0, 40), random.randint(0, 40), random.randint(1, 9),
                  random.randint(0, 0xFFFFFF), random.randint(0, 12)))
out.append("""</style>
</head>
<body class="min-h-screen bg-slate-50 text-slate-800 antialiased dark:bg-slate-900 dark:text-slate-100">
<a class="sr-only focus:not-sr-only focus:absolute focus:left-4 focus:top-4" href="#main">Skip to content</a>
""")
out.append('<header class="%s">\n<nav aria-label="Main" class="%s">\n<ul class="%s">\n'
           % (classes(6), classes(5), classes(4)))
for i in range(9):
    out.append('<li class="%s"><a href="/%s/" class="%s" data-nav-item="%d">%s<span>%s</span></a>\n'
               % (classes(3), random.choice(WORDS), classes(6), i, icon(), random.choice(WORDS).title()))
    out.append('<ul class="%s" role="menu">' % classes(5))
    for j in range(4):
        out.append('<li role="none"><a role="menuitem" class="%s" href="/%s/%s/">%s</a></li>'
                   % (classes(4), random.choice(WORDS), random.choice(WORDS), words(2).title()))
    out.append('</ul></li>\n')
out.append('</ul>\n</nav>\n</header>\n<main id="main" class="%s">\n' % classes(4))
out.append('<h1 class="%s">Guided walks and lectures</h1>\n' % classes(5))
for card in range(9):
    out.append('<article class="%s" data-card-id="c-%04d" data-category="%s" itemscope itemtype="https://schema.org/Event">\n'
               % (classes(7), card, random.choice(WORDS)))
    out.append('<div class="%s"><img src="/assets/img/%s-%d.webp" srcset="/assets/img/%s-%d-480.webp 480w, /assets/img/%s-%d-960.webp 960w" sizes="(min-width: 768px) 33vw, 100vw" alt="%s" loading="lazy" decoding="async" width="480" height="320"></div>\n'
               % (classes(4), random.choice(WORDS), card, random.choice(WORDS), card, random.choice(WORDS), card, words(4)))
    out.append('<div class="%s"><h2 class="%s" itemprop="name"><a href="/events/%s-%d/" class="%s">%s</a></h2>\n'
               % (classes(5), classes(4), random.choice(WORDS), card, classes(5), words(4).title()))
    out.append('<p class="%s"><time datetime="2025-%02d-%02dT10:00">%d %s 2025</time> &middot; %s</p>\n'
               % (classes(3), random.randint(1, 12), random.randint(1, 28), random.randint(1, 28),
                  random.choice(["March", "April", "May", "June"]), icon()))
    out.append('<p class="%s" itemprop="description">%s %s <a href="/glossary/#%s" class="%s">%s</a> %s</p>\n'
               % (classes(4), sentence(), sentence(), random.choice(WORDS), classes(3), random.choice(WORDS),
                  sentence()))
    out.append('<button type="button" class="%s" data-action="bookmark" data-target="c-%04d" aria-pressed="false">%s<span class="sr-only">Save</span></button>\n'
               % (classes(6), card, icon()))
    out.append('</div>\n</article>\n')
out.append('<section class="%s"><h2 class="%s">From the archive</h2>\n' % (classes(5), classes(3)))
for _ in range(6):
    out.append('<p>%s %s &ndash; %s &amp; %s. %s</p>\n' % (sentence(), sentence(), words(3), words(2),
                                                           sentence()))
out.append('</section>\n</main>\n')
out.append('<footer class="%s">\n<div class="%s">\n' % (classes(6), classes(4)))
for col in range(4):
    out.append('<div class="%s"><h3 class="%s">%s</h3><ul class="%s">' % (classes(3), classes(3), random.choice(WORDS).title(), classes(2)))
    for _ in range(6):
        out.append('<li><a class="%s" href="/%s/">%s</a></li>' % (classes(4), random.choice(WORDS), words(2).title()))
    out.append('</ul></div>\n')
out.append("""</div>
<p class="text-xs">&copy; 2025 Harrowfell Quarry Heritage Society &middot; Registered charity 1234567</p>
</footer>
<div id="cookie-banner" class="fixed inset-x-0 bottom-0 hidden" role="dialog" aria-live="polite">
<p>We use one cookie to remember your theme. <button type="button" data-consent="ok">OK</button></p>
</div>
<script>
""")
for i in range(30):
    out.append("  document.querySelectorAll('[data-action=\"%s\"]').forEach(function (el, i) { el.addEventListener('click', function (e) { e.preventDefault(); var t = document.getElementById(el.dataset.target || 'c-%04d'); if (t && t.classList) { t.classList.toggle('is-%s'); } }); });\n"
               % (random.choice(WORDS), i, random.choice(WORDS)))
out.append("""</script>
</body>
</html>
""")

with open("markup_page.html", "w", encoding="utf-8") as f:
    f.write("".join(out))
