#!/usr/bin/python3
"""Writes the files of the sample web site into a folder (see site/README.md).

  generate.py --out DIR [--test-categories N] [--test-skins N]

Texts name the site's own addresses through placeholders that serve.py fills in when it serves
them (@SITE@ = http://127.0.0.1:<http port>, @FTP_PORT@, @FTP_USER@, @FTP_PASSWORD@). Pictures are
drawn by ImageMagick (/usr/bin/convert). The same input gives the same bytes.
"""

import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys

CONVERT = "/usr/bin/convert"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
APP = "programs/velmora3/application"
GALLERY = "programs/velmora3/gallery"
SKIN_SIZE = "1000x120"
THUMB_SIZE = "398x58"

# (name, folder, skins); a skin is (file stem, caption, background, pattern, courtesy message,
# link caption, link address, apply page). Backgrounds: "v:c1-c2" vertical gradient, "h:c1-c2"
# horizontal, "r:c1-c2" radial, "p:c1-c2:seed" plasma. A stem ending in ".bmp" makes a BMP picture.
CATEGORIES = [
    ("Nature", "nature", [
        ("meadow", "Summer Meadow", "v:#9fd8ff-#4f9a2f", "hexagons", "Courtesy of Ann Berg", "", "", ""),
        ("forest", "Deep Forest", "h:#0b3d1e-#6fae4a", "vertical3", "Courtesy of Tom Reyes",
         "Visit Tom's photo site", "http://www.example.org/tom/", ""),
        ("ocean", "Ocean Waves", "r:#bfefff-#0a3d7a", "circles", "From the Velmora team", "", "", ""),
        ("desert.bmp", "Desert Dunes", "h:#f4d58d-#b5651d", "horizontal3", "Courtesy of Lea Moss",
         "Write to Lea", "mailto:lea.moss@example.com", ""),
    ]),
    ("Sci-Fi & Space", "scifi-space", [
        ("nebula", "Orion Nebula", "p:#1a0033-#ff66cc:11", "", "Courtesy of Star Lab", "", "", ""),
        ("starship", "Starship Bridge", "h:#0d1b2a-#415a77", "gray10", "Courtesy of Max Orbit",
         "Max Orbit's gallery", "http://www.example.org/orbit/", ""),
        ("galaxy", "Spiral Galaxy", "r:#fff3b0-#120038", "", "From the Velmora team", "", "", ""),
        ("redplanet", "Red Planet", "v:#ff7b39-#3b0a0a", "crosshatch45", "Courtesy of Ida Kern", "", "", ""),
        ("moonbase", "Moon Base", "h:#2b2d42-#8d99ae", "bricks", "Courtesy of Ida Kern", "", "",
         "@SITE@/programs/velmora3/gallery/sponsor.html"),
        ("aurora", "Aurora Sky", "v:#001d3d-#38f5a0", "", "Courtesy of Nils Aune", "", "", ""),
        ("comet", "Comet Trail", "h:#000000-#4cc9f0", "horizontal2", "From the Velmora team", "", "", ""),
        ("saturn", "Saturn Rings", "r:#ffd6a5-#3d2c8d", "circles", "Courtesy of Ray Vance",
         "Ray's space art", "http://www.example.org/ray/", ""),
        ("warp", "Warp Speed", "p:#000814-#7b2cbf:23", "", "From the Velmora team", "", "", ""),
        ("station", "Space Station", "v:#caf0f8-#03045e", "hs_cross", "Courtesy of Max Orbit", "", "", ""),
        ("eclipse", "Solar Eclipse", "r:#ffba08-#03071e", "", "Courtesy of Star Lab", "", "", ""),
    ]),
    ("Abstract Art", "abstract-art", [
        ("waves", "Colour Waves", "p:#ff006e-#3a86ff:5", "", "Courtesy of Ola Finn", "", "", ""),
        ("checks", "Checks", "h:#ffbe0b-#fb5607", "checkerboard", "From the Velmora team", "", "", ""),
        ("prism", "Prism", "v:#8338ec-#06d6a0", "crosshatch30", "Courtesy of Ola Finn",
         "Mail Ola", "mailto:ola@example.com", ""),
    ]),
    ("Cars & Bikes", "cars-bikes", [
        ("chrome", "Chrome", "v:#f8f9fa-#6c757d", "horizontal2", "Courtesy of Dan Speed", "", "", ""),
        ("racing", "Racing Stripes", "h:#d00000-#370617", "vertical2", "Courtesy of Dan Speed",
         "Dan's garage", "http://www.example.org/garage/", ""),
        ("asphalt", "Asphalt", "v:#495057-#212529", "gray20", "From the Velmora team", "", "", ""),
    ]),
    ("Holidays & Seasons", "holidays", [
        ("winter", "Winter Frost", "v:#ffffff-#90e0ef", "hexagons", "From the Velmora team", "", "",
         "@SITE@/programs/velmora3/gallery/sponsor.html"),
        ("autumn", "Autumn Leaves", "h:#ffb703-#9d0208", "bricks", "Courtesy of Eva Holm", "", "", ""),
    ]),
]


def crlf(lines):
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def background_args(background):
    kind, rest = background.split(":", 1)
    if kind == "v":
        return ["-size", SKIN_SIZE, "gradient:" + rest]
    if kind == "h":
        return ["-size", "120x1000", "gradient:" + rest, "-rotate", "-90"]
    if kind == "r":
        return ["-size", SKIN_SIZE, "radial-gradient:" + rest]
    colours, seed = rest.rsplit(":", 1)
    return ["-seed", seed, "-size", SKIN_SIZE, "plasma:" + colours, "-blur", "0x2"]


def draw_skin(folder, stem, caption, background, pattern):
    """One skin picture and its thumbnail; returns the two file names."""
    bmp = stem.endswith(".bmp")
    base = stem[:-4] if bmp else stem
    skin_name = base + (".bmp" if bmp else ".jpg")
    thumb_name = base + "-thumb.jpg"
    cmd = [CONVERT] + background_args(background)
    if pattern:
        # The pattern darkens the gradient softly: its black becomes 78 % grey before multiplying.
        cmd += ["(", "-size", SKIN_SIZE, "pattern:" + pattern, "+level", "78%,100%", ")",
                "-compose", "multiply", "-composite"]
    cmd += ["-font", FONT, "-pointsize", "38", "-gravity", "west",
            "-fill", "#00000070", "-annotate", "+27+3", caption,
            "-fill", "white", "-annotate", "+24+0", caption,
            "-strip",
            "(", "+clone", "-resize", THUMB_SIZE + "!", "-quality", "85", "-write",
            os.path.join(folder, thumb_name), "+delete", ")"]
    if bmp:
        cmd += ["-type", "TrueColor", "BMP3:" + os.path.join(folder, skin_name)]
    else:
        cmd += ["-quality", "80", os.path.join(folder, skin_name)]
    subprocess.run(cmd, check=True)
    return thumb_name, skin_name


def gallery_list(title, entries):
    """A category's gallery list; entries are (thumb url, skin url, message, link caption, link, apply)."""
    lines = ["; Skins of the category %s" % title,
             "; Six lines per skin, every one present (an empty value where there is nothing to say).", ""]
    for thumb, skin, message, link_caption, link, apply in entries:
        lines += ["thumb url=" + thumb, "skin url=" + skin, "courtesy message=" + message,
                  "courtesy link message=" + link_caption, "courtesy link url=" + link, "apply url=" + apply, ""]
    return crlf(lines)


def generate(out, test_categories, test_skins):
    app = os.path.join(out, APP)
    gallery = os.path.join(out, GALLERY)
    write(os.path.join(app, "appdata.txt"), crlf([
        "; Application data of Velmora 3. Keys are read once each; an empty value means",
        "; \"not set\" (an empty ..._MSG keeps that feature open).",
        "GETCLOSED_MSG=",
        "REGISTERED_CATLIST=@SITE@/%s/categories.txt" % GALLERY,
        "SUBMITCLOSED_MSG=",
        "SUBMIT_CGI=@SITE@/cgi-bin/velmora3/submit.cgi",
        "FTP_HOST=127.0.0.1",
        "FTP_USERID=@FTP_USER@",
        "FTP_PASSWORD=@FTP_PASSWORD@",
        "FTP_PORT=@FTP_PORT@",
        "FTP_DIRECTORY=/incoming",
        "TELLCLOSED_MSG=",
        "TELL_CGI=@SITE@/cgi-bin/velmora3/tell.cgi",
    ]))
    page = ("<html><head><title>%s</title></head>\r\n<body bgcolor=\"#000000\" text=\"#ffff00\">\r\n"
            "<h1>%s</h1>\r\n<p>%s</p>\r\n</body></html>\r\n")
    write(os.path.join(app, "applyskin.html"), (page % (
        "Your new skin", "Enjoy your new skin!",
        "Open a new Internet Explorer window to see it. Come back to the gallery for more.")).encode())
    write(os.path.join(gallery, "sponsor.html"), (page % (
        "Thank you", "Thank you for choosing this skin!",
        "This skin was brought to you by our friends at example.org.")).encode())

    jobs = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for _, slug, skins in CATEGORIES:
            for stem, caption, background, pattern, *_ in skins:
                jobs.append(pool.submit(draw_skin, os.path.join(gallery, slug), stem, caption, background, pattern))
                os.makedirs(os.path.join(gallery, slug), exist_ok=True)
        names = [job.result() for job in jobs]

    cat_lines = ["; Categories of the Velmora skin gallery, in the order shown.",
                 "; Each category is a \"category\" line followed by its \"URL\" line.", ""]
    all_entries = []
    i = 0
    for title, slug, skins in CATEGORIES:
        entries = []
        for stem, caption, background, pattern, message, link_caption, link, apply in skins:
            thumb_name, skin_name = names[i]
            i += 1
            base = "@SITE@/%s/%s/" % (GALLERY, slug)
            entries.append((base + thumb_name, base + skin_name, message, link_caption, link, apply))
        all_entries += entries
        write(os.path.join(gallery, slug, "gallery.txt"), gallery_list(title, entries))
        cat_lines += ["category=" + title, "URL=@SITE@/%s/%s/gallery.txt" % (GALLERY, slug), ""]
    write(os.path.join(gallery, "categories.txt"), crlf(cat_lines))

    # Lists for tests: a gallery list of exactly test_skins skins (pictures of the other categories),
    # a category list with only that category, and a long category list that starts with it.
    test = os.path.join(gallery, "test")
    picks = [all_entries[n % len(all_entries)] for n in range(test_skins)]
    write(os.path.join(test, "skins.txt"), gallery_list("Test Skins", picks))
    seven = "category=Test Skins\r\nURL=@SITE@/%s/test/skins.txt\r\n" % GALLERY
    write(os.path.join(test, "one-category.txt"), ("; One category for tests\r\n" + seven).encode())
    # Previews that fail: one on a port where nothing listens, one that arrives slowly (to abort).
    real = picks[0]
    write(os.path.join(test, "broken-previews.txt"), gallery_list("Broken", [
        ("http://127.0.0.1:1/gone-thumb.jpg",) + real[1:], real]))
    write(os.path.join(test, "broken-category.txt"),
          ("; One category whose first preview fails\r\ncategory=Broken\r\n"
           "URL=@SITE@/%s/test/broken-previews.txt\r\n" % GALLERY).encode())
    write(os.path.join(test, "slow-previews.txt"), gallery_list("Slow", [
        ("@SITE@/_test/slow/200000/20",) + real[1:]]))
    # A site that tries to fill the disk and to hold the lists' readers: a preview without end, skins of
    # a huge stated length and without end, and lists padded to the largest size a list may have
    # (262144 bytes) and beyond it.
    write(os.path.join(test, "endless-previews.txt"), gallery_list("Endless", [
        ("@SITE@/_test/endless",) + real[1:],
        (real[0], "@SITE@/_test/endless/107374182400?/huge.jpg") + real[2:],
        (all_entries[1][0], "@SITE@/_test/endless?/endless.jpg") + all_entries[1][2:]]))
    write(os.path.join(test, "hostile-categories.txt"), crlf([
        "; Categories of a hostile site, then the real ones",
        "category=Endless", "URL=@SITE@/_test/padded/262144/%s/test/endless-previews.txt" % GALLERY,
        "category=Too Long", "URL=@SITE@/_test/padded/262145/%s/test/skins.txt" % GALLERY] + cat_lines))
    write(os.path.join(test, "missing-category.txt"),
          b"; A category whose gallery list is not on the site\r\ncategory=Gone\r\nURL=@SITE@/_test/status/404\r\n")
    lines = ["; %d categories for tests: the first is Test Skins, the others cycle through" % test_categories,
             "; the real gallery lists.", "category=Test Skins", "URL=@SITE@/%s/test/skins.txt" % GALLERY]
    for n in range(1, test_categories):
        slug = CATEGORIES[(n - 1) % len(CATEGORIES)][1]
        lines += ["category=Category %03d" % (n + 1), "URL=@SITE@/%s/%s/gallery.txt" % (GALLERY, slug)]
    write(os.path.join(test, "categories.txt"), crlf(lines))


def main():
    parser = argparse.ArgumentParser(description="Writes the sample web site's files.")
    parser.add_argument("--out", required=True, help="site root to write (replaced as a whole)")
    parser.add_argument("--test-categories", type=int, default=150)
    parser.add_argument("--test-skins", type=int, default=7)
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    tmp = out + ".tmp"
    shutil.rmtree(tmp, ignore_errors=True)
    generate(tmp, args.test_categories, args.test_skins)
    shutil.rmtree(out, ignore_errors=True)
    os.rename(tmp, out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
