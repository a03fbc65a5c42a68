#!/usr/bin/python3
"""The page in headless Chromium against the native tools: frame lists,
canvas pixels and downloaded bytes match what shptool shows and writes for
the same files, damaged and hostile files get the tools' report and leave
the page working.

    page_test.py PAGE_HTML SHPTOOL MAKE_DEMO WORK_FOLDER [--screenshot PNG]

Prints one "PASS name" or "FAIL name: why" line per check and ends with
"web: N passed, M failed"."""
import base64
import os
import re
import shutil
import struct
import subprocess
import sys
import traceback

from browser import Browser

SPRITES = ["spinner", "ball", "lamp", "waves"]


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def run(self, name, check, *args):
        try:
            check(*args)
            print(f"PASS {name}")
            self.passed += 1
        except Exception as error:  # a failed check reports and the others still run
            print(f"FAIL {name}: {error}")
            if not isinstance(error, AssertionError):
                traceback.print_exc(limit=3)
            self.failed += 1


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


class Native:
    """The tools' answers for the demo files."""

    def __init__(self, shptool, demo, out):
        self.shptool, self.demo, self.out = os.path.abspath(shptool), demo, out

    def export(self, sprite, fmt, palette="Demo.pal", options=()):
        folder = os.path.join(self.out, f"{fmt}-{palette}-{'-'.join(options)}")
        os.makedirs(folder, exist_ok=True)
        run = subprocess.run([self.shptool, "export", "--format", fmt, "--palette",
                              os.path.join(self.demo, palette), "--out", folder, *options,
                              os.path.join(self.demo, sprite)], capture_output=True, text=True)
        return folder, run

    def shptool_out(self, *args):
        return subprocess.run([self.shptool, *args], cwd=self.demo, capture_output=True,
                              text=True, check=True).stdout

    def frame_count(self, sprite):
        info = subprocess.run([self.shptool, "info", os.path.join(self.demo, sprite)],
                              capture_output=True, text=True, check=True).stdout
        return int(re.search(r"(\d+) frames", info).group(1))

    def frames_without_pixels(self, sprite):
        info = subprocess.run([self.shptool, "info", os.path.join(self.demo, sprite)],
                              capture_output=True, text=True, check=True).stdout
        return {int(number) for number in re.findall(r"frame (\d+):.*pixels=no", info)}

    def report_texts(self, name):
        """The texts shptool prints about a file it loads: its warnings, or
        why it refused it."""
        _, run = self.export(name, "png")
        path = os.path.join(self.demo, name)
        prefix = f"shptool export: {path}: "
        return [line[len(prefix):].removeprefix("warning: ")
                for line in run.stderr.splitlines() if line.startswith(prefix)]


def read_file(path):
    with open(path, "rb") as source:
        return source.read()


def bmp_indices(path):
    """Width, height, rows of palette indices (top row first) and the
    colours as (red, green, blue) of an 8-bit BMP file."""
    data = read_file(path)
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    colours = [tuple(data[54 + 4 * i + 2 - c] for c in range(3)) for i in range(256)]
    stride = (width + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row_at = offset + (abs(height) - 1 - y if height > 0 else y) * stride
        rows.append(list(data[row_at:row_at + width]))
    return width, abs(height), rows, colours


def bmp_rgb(path):
    """Rows of (red, green, blue) of an 8-bit BMP file, top row first."""
    width, height, rows, colours = bmp_indices(path)
    return width, height, [[colours[i] for i in row] for row in rows]


class Page:
    def __init__(self, browser):
        self.browser = browser

    def choose(self, list_id, label):
        self.browser.evaluate(f"""(() => {{
            const list = document.getElementById({list_id!r});
            const option = [...list.options].find(o => o.textContent === {label!r});
            list.value = option.value;
            list.dispatchEvent(new Event('change'));
        }})()""")
        self.idle()

    def idle(self):
        self.browser.wait_for("document.body.dataset.state === 'idle'")

    def options(self, list_id):
        return self.browser.evaluate(
            f"[...document.getElementById({list_id!r}).options].map(o => o.textContent)")

    def report(self):
        return self.browser.evaluate("""document.getElementById('report').hidden ? null :
            [...document.querySelectorAll('#reportLines li')].map(li => li.textContent)""")

    def canvas_rgb(self):
        width, height, data = self.browser.evaluate("""(() => {
            const canvas = document.getElementById('view');
            const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
            let text = '';
            for (let i = 0; i < rgba.length; i += 4) text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
            return [canvas.width, canvas.height, btoa(text)];
        })()""")
        raw = base64.b64decode(data)
        rows = [[tuple(raw[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
                for y in range(height)]
        return width, height, rows

    def key(self, key):
        code = {"ArrowRight": 39, "ArrowLeft": 37, " ": 32}[key]
        for kind in ("keyDown", "keyUp"):
            self.browser.send("Input.dispatchKeyEvent", type=kind, key=key,
                              code="Space" if key == " " else key, windowsVirtualKeyCode=code)
        self.idle()

    def set_value(self, element_id, value):
        """Sets a field as the user would: `value` for a box ticked or not."""
        self.browser.evaluate(f"""(() => {{
            const field = document.getElementById({element_id!r});
            if (field.type === 'checkbox') field.checked = {str(bool(value)).lower()};
            else field.value = {str(value)!r};
            field.dispatchEvent(new Event('change'));
        }})()""")
        self.idle()

    def select_frames(self, indices):
        self.browser.evaluate(f"""for (const option of document.getElementById('frames').options)
            option.selected = {list(indices)!r}.includes(Number(option.value));""")

    def click(self, element_id):
        self.browser.evaluate(f"document.getElementById({element_id!r}).click()")
        self.idle()


def main():
    page_html, shptool, make_demo, work = sys.argv[1:5]
    screenshot = sys.argv[sys.argv.index("--screenshot") + 1] if "--screenshot" in sys.argv else None
    shutil.rmtree(work, ignore_errors=True)
    demo, downloads = os.path.join(work, "demo"), os.path.join(work, "downloads")
    for folder in (demo, downloads):
        os.makedirs(folder)
    subprocess.run([make_demo, demo], check=True, stdout=subprocess.DEVNULL)
    hostile = make_hostile_files(demo)
    native = Native(shptool, demo, os.path.join(work, "native"))
    checks = Checks()
    browser = Browser(downloads)
    page = Page(browser)
    try:
        browser.open("file://" + os.path.abspath(page_html))
        files = [os.path.join(demo, name) for name in ["Demo.pal", "Dusk.pal", "Short.pal"] +
                 [s + ".shp" for s in SPRITES] + list(hostile)]
        browser.set_files("#open", files)
        browser.wait_for(f"document.getElementById('sprites').options.length === {len(SPRITES) + len(hostile)}")
        page.idle()
        checks.run("page lists the opened sprites and palettes", check_lists, page)
        for sprite in SPRITES:
            checks.run(f"frame list of {sprite}.shp", check_frame_list, page, native, sprite)
            checks.run(f"canvas of every frame of {sprite}.shp, stepped by arrow keys",
                       check_canvas, page, native, sprite)
            checks.run(f"downloads of {sprite}.shp", check_downloads, page, native, browser,
                       sprite + ".shp", "Demo.pal")
        checks.run("sprites inside nested archives", check_archive, page, native, browser)
        checks.run("the animation plays the selected frames", check_animation, page, native, browser)
        checks.run("checkerboard and shadows", check_backdrop_and_shadows, page, native)
        for palette in ("Dusk.pal", "Short.pal"):  # a short one keeps nothing of the one before
            page.choose("palette", palette)
            checks.run(f"downloads of waves.shp after choosing {palette}", check_downloads, page,
                       native, browser, "waves.shp", palette)
        for name in hostile:
            checks.run(f"report of the damaged file {name}", check_hostile, page, native, name)
        checks.run("the page works after the damaged files", check_frame_list, page, native, "lamp")
        checks.run("a worker that never answers is replaced", check_broken_worker, page, native,
                   "onmessage = () => { for (;;) {} }",
                   "Reading the file took too long and was stopped.")
        checks.run("a worker whose module broke is replaced", check_broken_worker, page, native,
                   "onmessage = (e) => postMessage({ id: e.data.id, error: '1234', dead: true })",
                   "The decoder failed on this file and was restarted.")
        checks.run("a sprite chosen while another loads", check_quick_choice, page, native)
        checks.run("the language switch", check_language, page, browser)
        checks.run("zoom from 1x to 8x", check_zoom, page)
        checks.run("dropped files", check_drop, page, native)
        checks.run("no script errors on the page", check_no_errors, browser)
        checks.run("the page may not connect anywhere", check_no_connections, browser)
        if screenshot:
            page.choose("palette", "Demo.pal")
            page.choose("sprites", "waves.shp")
            page.choose("frames", "003 : waves003")
            browser.evaluate("""(() => { const zoom = document.getElementById('zoom');
                zoom.value = '2'; zoom.dispatchEvent(new Event('input')); })()""")
            if browser.evaluate("document.documentElement.lang") != "ru":
                page.click("language")  # the viewer's own language
            browser.screenshot(screenshot)
    finally:
        browser.close()
    checks.run("a Russian browser gets the Russian page", check_russian_browser, page_html, downloads)
    print(f"web: {checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


def make_hostile_files(demo):
    """A sprite cut short, one shorter than its header, and one whose box
    would need more memory than the tools allow."""
    waves = read_file(os.path.join(demo, "waves.shp"))
    files = {
        "cut.shp": waves[:len(waves) // 2],
        "tiny.shp": b"\x01\x00\x02",
        "huge.shp": struct.pack("<HHHH", 0, 0xFFFF, 0xFFFF, 40) +
                    b"".join(struct.pack("<HHHHIIII", 0, 0, 0xFFFF, 0xFFFF, 0, 0, 0, 8 + 24 * 40)
                             for _ in range(40)),
    }
    for name, data in files.items():
        with open(os.path.join(demo, name), "wb") as out:
            out.write(data)
    with open(os.path.join(demo, "Short.pal"), "w", newline="\r\n") as out:
        out.write("JASC-PAL\n0100\n4\n" + "".join(f"{9 * i} {200 - i} 77\n" for i in range(4)))
    return list(files)


def check_lists(page):
    sprites = page.options("sprites")
    expect(sprites[:len(SPRITES)] == [s + ".shp" for s in SPRITES], f"sprites {sprites}")
    palettes = page.options("palette")
    expect(palettes[1:] == ["Demo.pal", "Dusk.pal", "Short.pal"], f"palettes {palettes}")
    chosen = page.browser.evaluate("document.getElementById('palette').selectedOptions[0].textContent")
    expect(chosen == "Demo.pal", f"the first opened palette is not chosen: {chosen}")


def check_frame_list(page, native, sprite):
    page.choose("sprites", sprite + ".shp")
    count = native.frame_count(sprite + ".shp")
    expected = [f"{n:03d} : {sprite}{n:03d}" for n in range(1, count + 1)]
    expect(page.options("frames") == expected, f"{page.options('frames')} != {expected}")
    expect(page.report() is None, f"a clean file shows a report: {page.report()}")


def check_canvas(page, native, sprite):
    page.choose("sprites", sprite + ".shp")
    folder, run = native.export(sprite + ".shp", "bmp")
    expect(run.returncode == 0, run.stderr)
    page.browser.evaluate("document.activeElement.blur()")
    without_pixels = native.frames_without_pixels(sprite + ".shp")
    background = tuple(int(v) for v in
                       open(os.path.join(native.demo, "Demo.pal")).read().splitlines()[3].split())
    count = native.frame_count(sprite + ".shp")
    page.key("ArrowLeft")  # stays on the first frame
    for number in range(1, count + 1):
        if number > 1:
            page.key("ArrowRight")
        selected = page.browser.evaluate("document.getElementById('frames').value")
        expect(selected == str(number - 1), f"the arrow key chose {selected}, not frame {number}")
        shown = page.canvas_rgb()
        if number in without_pixels:  # its BMP is a placeholder; the page shows the box
            expect(all(pixel == background for row in shown[2] for pixel in row),
                   f"frame {number} without pixels is not all colour 0")
        else:
            width, height, rows = bmp_rgb(os.path.join(folder, f"{sprite}{number:03d}.bmp"))
            expect(shown == (width, height, rows), f"frame {number} differs from the BMP export")
    page.key("ArrowRight")
    last = page.browser.evaluate("document.getElementById('frames').value")
    expect(last == str(count - 1), f"the arrow key went past the last frame to {last}")


def check_downloads(page, native, browser, path, palette):
    """The four downloads of the sprite at `path` (as listed, and as given
    to shptool) against shptool's files; the GIF as the animation plays by
    default: every frame, 100 ms, colour 0 opaque over the palette."""
    sprite = os.path.splitext(os.path.basename(path))[0]
    page.choose("sprites", path)
    page.choose("frames", f"002 : {sprite}002")
    shutil.rmtree(browser.downloads)
    os.makedirs(browser.downloads)
    browser.events.clear()
    expected = {}
    for fmt, button, names, options in [
            ("bmp", "saveBmp", [f"{sprite}002.bmp"], ()),
            ("png", "savePng", [f"{sprite}002.png"], ()),
            ("sheet", "saveSheet", [f"{sprite}_sheet.json", f"{sprite}_sheet.png"], ()),
            ("gif", "saveGif", [f"{sprite}.gif"], ("--opaque", "--delay", "100"))]:
        folder, run = native.export(path, fmt, palette, options)
        expect(run.returncode == 0, run.stderr)
        for name in names:
            expected[name] = read_file(os.path.join(folder, name))
        page.click(button)
    browser.wait_downloads(list(expected))
    for name, data in expected.items():
        got = read_file(os.path.join(browser.downloads, name))
        expect(got == data, f"{name}: {len(got)} bytes differ from shptool's {len(data)}")


def check_hostile(page, native, name):
    page.choose("sprites", name)
    texts = native.report_texts(name)
    expect(texts, f"shptool says nothing about {name}")
    expect(page.report() == texts, f"report {page.report()} != shptool's {texts}")
    # In Russian the report says the same numbers in the same order.
    page.click("language")
    russian = page.report()
    page.click("language")
    numbers = [re.findall(r"\d+", line) for line in texts]
    expect([re.findall(r"\d+", line) for line in russian] == numbers and
           all(re.search("[а-я]", line) for line in russian), f"{russian} against {texts}")


def check_archive(page, native, browser):
    """Archives in an archive: the page lists the sprites as shptool finds
    them, and reads them as shptool does."""
    native.shptool_out("mix", "create", "--out", "inner.mix", "ball.shp")
    native.shptool_out("mix", "create", "--out", "outer.mix", "inner.mix", "spinner.shp", "Demo.pal")
    listing = native.shptool_out("mix", "list", "--recursive", "outer.mix")
    entries = ["outer.mix/" + line.split("\t")[3] for line in listing.splitlines()
               if line.endswith(".shp")]
    expect(len(entries) == 2, f"shptool lists {entries}")
    before = len(page.options("sprites"))
    browser.set_files("#open", [os.path.join(native.demo, "outer.mix")])
    browser.wait_for(f"document.getElementById('sprites').options.length === {before + 2}")
    page.idle()
    expect(page.options("sprites")[before:] == entries, f"{page.options('sprites')[before:]}")
    chosen = page.browser.evaluate("document.getElementById('sprites').selectedOptions[0].textContent")
    expect(chosen == entries[0], f"the archive's first sprite is not shown: {chosen}")
    for path in entries:
        page.choose("sprites", path)
        count = int(re.search(r"(\d+) frames", native.shptool_out("info", path)).group(1))
        name = os.path.splitext(os.path.basename(path))[0]
        expected = [f"{n:03d} : {name}{n:03d}" for n in range(1, count + 1)]
        expect(page.options("frames") == expected, f"{path}: {page.options('frames')}")
    check_downloads(page, native, browser, entries[1], "Demo.pal")


def check_animation(page, native, browser):
    """Frames 2 and 4 only, 20 ms apart: Space plays them in turn and stops;
    the GIF is shptool's of the same frames, delay and background."""
    page.choose("sprites", "spinner.shp")
    folder, run = native.export("spinner.shp", "bmp")
    expect(run.returncode == 0, run.stderr)
    played = [bmp_rgb(os.path.join(folder, f"spinner{n:03d}.bmp")) for n in (2, 4)]
    page.select_frames([1, 3])
    page.set_value("onlySelected", True)
    page.set_value("delay", 20)
    page.browser.evaluate("document.activeElement.blur()")
    page.key(" ")
    try:
        for position in ("Frame 1 of 2", "Frame 2 of 2", "Frame 1 of 2"):
            page.browser.wait_for(f"document.getElementById('position').textContent === {position!r}", 10)
            expect(page.canvas_rgb() in played, f"at {position} the canvas shows another frame")
    finally:
        page.key(" ")
    stopped = page.browser.evaluate("[document.getElementById('play').textContent, document.getElementById('position').textContent]")
    expect(stopped == ["Play", ""], f"Space did not stop it: {stopped}")
    page.set_value("backdrop", "checkerboard")
    shutil.rmtree(browser.downloads)
    os.makedirs(browser.downloads)
    page.click("saveGif")
    browser.wait_downloads(["spinner.gif"])
    folder, run = native.export("spinner.shp", "gif", options=("--frames", "2,4", "--delay", "20"))
    expect(run.returncode == 0, run.stderr)
    expect(read_file(os.path.join(browser.downloads, "spinner.gif")) ==
           read_file(os.path.join(folder, "spinner.gif")), "the GIF differs from shptool's")
    for field, value in (("onlySelected", False), ("delay", 100), ("backdrop", "palette")):
        page.set_value(field, value)


def check_backdrop_and_shadows(page, native):
    """Frame 1 of 12 over its shadow, frame 7, on the checkerboard: colour 0
    shows 8 x 8 grey squares, darkened to half under the shadow."""
    page.choose("sprites", "ball.shp")
    page.set_value("backdrop", "checkerboard")
    page.set_value("shadows", True)
    page.choose("frames", "001 : ball001")
    folder, _ = native.export("ball.shp", "bmp")
    width, height, frame, colours = bmp_indices(os.path.join(folder, "ball001.bmp"))
    shadow = bmp_indices(os.path.join(folder, "ball007.bmp"))[2]
    expected, darkened = [], 0
    for y in range(height):
        row = []
        for x in range(width):
            grey = 0x80 if (x // 8 + y // 8) % 2 else 0xC0
            darkened += frame[y][x] == 0 and shadow[y][x] != 0
            grey = grey // 2 if shadow[y][x] != 0 else grey
            row.append(colours[frame[y][x]] if frame[y][x] else (grey, grey, grey))
        expected.append(row)
    shown = page.canvas_rgb()
    page.set_value("shadows", False)
    page.set_value("backdrop", "palette")
    expect(darkened > 0, "the shadow frame darkens nothing: a poor case")
    expect(shown == (width, height, expected), "the composed frame differs")


def check_broken_worker(page, native, script, report):
    """A file that kept the decoder busy forever or broke it, played by a
    worker running `script`: the page says so and goes on with a new one."""
    page.browser.evaluate(f"""worker.patienceMs = 1500;
        worker.current.terminate();
        worker.current = new Worker(URL.createObjectURL(new Blob([{script!r}])));
        worker.current.onmessage = (event) => settle(event.data.id, event.data);""")
    page.choose("sprites", "ball.shp")
    expect(page.report() == [report], f"report {page.report()}")
    page.browser.evaluate("worker.patienceMs = 30000")
    check_frame_list(page, native, "ball")


def check_quick_choice(page, native):
    page.browser.evaluate("""for (const name of ['spinner.shp', 'waves.shp']) {
        const list = document.getElementById('sprites');
        list.value = [...list.options].find(o => o.textContent === name).value;
        list.dispatchEvent(new Event('change'));
    }""")
    page.idle()
    count = native.frame_count("waves.shp")
    expected = [f"{n:03d} : waves{n:03d}" for n in range(1, count + 1)]
    expect(page.options("frames") == expected, f"{page.options('frames')}")
    expect(page.canvas_rgb()[:2] == (320, 160), "the preview shows another sprite")


def check_zoom(page):
    page.choose("sprites", "lamp.shp")
    for zoom in (1, 8):
        size = page.browser.evaluate(f"""(() => {{
            const zoom = document.getElementById('zoom');
            zoom.value = '{zoom}';
            zoom.dispatchEvent(new Event('input'));
            const canvas = document.getElementById('view');
            return [canvas.width, canvas.height, canvas.getBoundingClientRect().width,
                    canvas.getBoundingClientRect().height, getComputedStyle(canvas).imageRendering];
        }})()""")
        expect(size[:4] == [12, 16, 12 * zoom, 16 * zoom] and size[4] == "pixelated",
               f"at {zoom}x: {size}")


def check_drop(page, native):
    sprite = base64.b64encode(read_file(os.path.join(native.demo, "ball.shp"))).decode()
    before = len(page.options("sprites"))
    page.browser.evaluate(f"""(() => {{
        const files = new DataTransfer();
        files.items.add(new File([Uint8Array.from(atob('{sprite}'), c => c.charCodeAt(0))], 'dropped.shp'));
        files.items.add(new File(['not a sprite'], 'notes.txt'));
        document.body.dispatchEvent(new DragEvent('drop', {{ dataTransfer: files, bubbles: true }}));
    }})()""")
    page.browser.wait_for(f"document.getElementById('sprites').options.length === {before + 1}")
    page.idle()
    chosen = page.browser.evaluate("document.getElementById('sprites').selectedOptions[0].textContent")
    expect(chosen == "dropped.shp", f"the dropped sprite is not shown: {chosen}")
    count = native.frame_count("ball.shp")
    expected = [f"{n:03d} : dropped{n:03d}" for n in range(1, count + 1)]
    expect(page.options("frames") == expected, f"{page.options('frames')}")
    status = page.browser.evaluate("document.getElementById('status').textContent")
    expect("notes.txt" in status, f"the skipped file is not named: {status}")


def check_language(page, browser):
    label = "document.querySelector('[data-text=sprites]').textContent"
    before = browser.evaluate(label)
    page.click("language")
    after = browser.evaluate(label)
    page.click("language")
    # The browser runs in English (Browser's --lang), and the page follows it.
    expect((before, after) == ("Sprites", "Спрайты"), f"{before} / {after}")
    expect(browser.evaluate(label) == before, "the switch does not switch back")


def check_russian_browser(page_html, downloads):
    browser = Browser(downloads, language="ru")
    try:
        browser.open("file://" + os.path.abspath(page_html))
        label = browser.evaluate("document.querySelector('[data-text=sprites]').textContent")
        expect(label == "Спрайты", f"the page is not in Russian: {label}")
    finally:
        browser.close()


def check_no_connections(browser):
    for url in ("data:,x", "http://127.0.0.1:9/"):
        outcome = browser.evaluate(f"fetch({url!r}).then(() => 'sent', () => 'blocked')")
        expect(outcome == "blocked", f"a request to {url} was {outcome}")


def check_no_errors(browser):
    errors = browser.console_errors()
    expect(not errors, str(errors[:2]))


if __name__ == "__main__":
    sys.exit(main())
