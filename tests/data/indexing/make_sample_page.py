#!/usr/bin/env python3
"""Writes sample_page.html: a realistic 30 kB page of a small website (head with
metas, inline style and script, navigation, headings, prose, lists, a table,
entities, comments, a footer), used by the keyword-rating tests and benchmark.
Deterministic: the same page every run."""
import random

random.seed(1847)

SUBJECTS = ["trail", "quarry", "granite", "limestone", "ridge", "valley", "footpath",
            "waymark", "hiker", "geology", "fossil", "stonemason", "railway", "viaduct",
            "heather", "moorland", "spring", "river", "bridge", "village"]
VERBS = ["follows", "crosses", "climbs above", "skirts", "descends into", "passes",
         "overlooks", "winds through", "leads to", "meets"]
ADJ = ["old", "steep", "quiet", "narrow", "grassy", "rocky", "wooded", "sunny",
       "disused", "historic", "Victorian", "well-marked"]
EXTRA = ["In spring the banks are full of primroses.",
         "Walkers should wear boots after rain, as the clay gets slippery.",
         "The caf&eacute; in the village serves tea until 5 o'clock.",
         "Dogs are welcome but must be kept on a lead near livestock.",
         "Parking costs &pound;2.50 for the day (cash only).",
         "Allow 3&ndash;4 hours, including stops.",
         "The views towards the coast are best on a clear October morning."]


def sentence():
    s = "The %s %s %s the %s %s" % (random.choice(ADJ), random.choice(SUBJECTS),
                                  random.choice(VERBS), random.choice(ADJ),
                                  random.choice(SUBJECTS))
    if random.random() < 0.3:
        s += ", about %d.%d km from the %s" % (random.randint(1, 12), random.randint(0, 9),
                                                random.choice(SUBJECTS))
    return s + "."


def paragraph(n):
    parts = [sentence() for _ in range(n)]
    parts.insert(random.randint(0, n), random.choice(EXTRA))
    text = " ".join(parts)
    words = text.split(" ")
    for _ in range(2):
        i = random.randrange(len(words))
        words[i] = random.choice(["<b>%s</b>", "<em>%s</em>", '<a href="walks/%s.html">%s</a>'
                                  ]).replace("%s", words[i], 1).replace("%s", words[i])
    return "<p>" + " ".join(words) + "</p>\n"


out = []
out.append("""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Quarry Trails of the Corvan Valley &ndash; Walks, Maps &amp; History</title>
<meta name="description" content="Circular walks along the old quarry railway, with maps, distances and the history of the stone industry.">
<meta name="keywords" content="quarry trails, walking, Corvan Valley, granite, railway history, maps">
<link rel="stylesheet" href="css/site.css">
<style>
  body { font-family: Georgia, serif; margin: 0 auto; max-width: 60em; }
  nav ul { list-style: none; } nav li { display: inline-block; margin-right: 1em; }
  .note { background: #f4f1e8; border-left: 4px solid #a08c5b; padding: .5em 1em; }
  table.walks td, table.walks th { padding: .2em .6em; border-bottom: 1px solid #ddd; }
</style>
<script>
  // Remembers which walk sections the visitor has folded.
  var folded = JSON.parse(localStorage.getItem('folded') || '[]');
  function toggle(id) {
    var i = folded.indexOf(id);
    if (i < 0) { folded.push(id); } else { folded.splice(i, 1); }
    localStorage.setItem('folded', JSON.stringify(folded));
    document.getElementById(id).classList.toggle('folded');
  }
  var html = '<div class="banner">' + 'Welcome back!' + '</div>';
</script>
</head>
<body>
<!-- qmpnoindex -->
<header><a href="index.html"><img src="img/logo.png" alt="Quarry Trails logo"></a></header>
<nav><ul>
<li><a href="index.html">Home</a></li><li><a href="walks.html">Walks</a></li>
<li><a href="history.html">History</a></li><li><a href="maps.html">Maps</a></li>
<li><a href="contact.html">Contact</a></li></ul></nav>
<!-- qmpindex -->
<main>
<article>
<h1>Quarry Trails of the Corvan Valley</h1>
<p class="note">Updated 12 March 2024. All distances are approximate; please check the
<a href="notices.html">path notices</a> before setting out.</p>
""")
section = 0
while sum(len(x) for x in out) < 29000:
    section += 1
    name = random.choice(SUBJECTS).capitalize() + " " + random.choice(["Walk", "Loop", "Trail", "Circuit"])
    out.append('<h2 id="walk%d">%d. The %s</h2>\n' % (section, section, name))
    out.append(paragraph(random.randint(4, 7)))
    out.append(paragraph(random.randint(3, 6)))
    if section % 3 == 0:
        out.append("<h3>Points of interest</h3>\n<ul>\n")
        for _ in range(4):
            out.append("<li>%s</li>\n" % sentence())
        out.append("</ul>\n")
    if section % 4 == 0:
        out.append('<table class="walks">\n<tr><th>Stage</th><th>Distance</th><th>Climb</th></tr>\n')
        for stage in range(1, 5):
            out.append("<tr><td>%s to %s</td><td>%d.%d km</td><td>%d m</td></tr>\n" % (
                random.choice(SUBJECTS).capitalize(), random.choice(SUBJECTS),
                random.randint(1, 6), random.randint(0, 9), random.randint(10, 300)))
        out.append("</table>\n")
    out.append("<!-- end of walk %d -->\n" % section)
out.append("""</article>
</main>
<footer><p>&copy; 2024 Corvan Valley Walkers. Text licensed CC&nbsp;BY&#8209;SA.
<a href="privacy.html">Privacy</a> &middot; <a href="contact.html">Contact us</a></p></footer>
<script src="js/fold.js"></script>
</body>
</html>
""")
with open("sample_page.html", "w", newline="\n") as f:
    f.write("".join(out))
