"use strict";
// The page: the files the user opened, the lists and the preview. Every
// byte of a file is read by the codec in a worker; this side only shows
// what the worker answers, so a hostile file cannot stall the page.

const TEXTS = {
  ru: {
    open: "Открыть файлы...", drop: "или перетащите сюда файлы .shp, .pal и .mix",
    sprites: "Спрайты", palette: "Палитра", frames: "Кадры", zoom: "Масштаб",
    saveBmp: "Кадр в BMP", savePng: "Кадр в PNG", saveSheet: "Лист PNG + JSON",
    saveGif: "Анимация GIF", language: "English", demo: "Demo (встроенная)",
    ready: "Откройте спрайты .shp, палитры .pal и архивы .mix.", loading: "Загрузка: ",
    frameCount: (w, h, n) => `${w} x ${h}, кадров: ${n}`,
    refused: "Файл не загружен", repaired: "Файл загружен с исправлениями",
    noFrames: "В спрайте нет кадров.", notOurs: "Не SHP, не PAL и не MIX, пропущен: ",
    badPalette: "Не удалось прочитать палитру: ", timeout: "Разбор файла длился слишком долго и был прерван.",
    failed: "Не удалось: ", notWritten: "Не удалось записать файл.",
    crashed: "Декодер не справился с этим файлом и был перезапущен.",
    play: "Пуск", stop: "Стоп", delay: "Задержка, мс:", onlySelected: "Только выделенные",
    backdrop: "Фон:", backdropPalette: "Палитра", backdropChecker: "Шахматы", shadows: "Тени",
    position: (n, m) => `Кадр ${n} из ${m}`, nothingToPlay: "Нет кадров",
    notArchive: "Не архив MIX, пропущен: ", archiveFaults: "Не все записи архива прочитаны",
  },
  en: {
    open: "Open files...", drop: "or drop .shp and .pal files here",
    sprites: "Sprites", palette: "Palette", frames: "Frames", zoom: "Zoom",
    saveBmp: "Frame as BMP", savePng: "Frame as PNG", saveSheet: "Sheet PNG + JSON",
    saveGif: "Animated GIF", language: "Русский", demo: "Demo (built in)",
    ready: "Open .shp sprites, .pal palettes and .mix archives.", loading: "Loading: ",
    frameCount: (w, h, n) => `${w} x ${h}, ${n} frames`,
    refused: "The file was not loaded", repaired: "The file was loaded with repairs",
    noFrames: "The sprite has no frames.", notOurs: "Neither SHP, PAL nor MIX, skipped: ",
    badPalette: "Cannot read the palette: ", timeout: "Reading the file took too long and was stopped.",
    failed: "Failed: ", notWritten: "The file could not be written.",
    crashed: "The decoder failed on this file and was restarted.",
    play: "Play", stop: "Stop", delay: "Delay, ms:", onlySelected: "Selected only",
    backdrop: "Background:", backdropPalette: "Palette", backdropChecker: "Checkerboard", shadows: "Shadows",
    position: (n, m) => `Frame ${n} of ${m}`, nothingToPlay: "No frames",
    notArchive: "Not a MIX archive, skipped: ", archiveFaults: "Some entries of the archive could not be read",
  },
};

// The tools' report of a sprite, said in Russian: the same facts as the
// English lines, which are the tools' own.
const RUSSIAN_REPORT = {
  frames: (n) => n + " " + (n % 10 === 1 && n % 100 !== 11 ? "кадр" : n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14) ? "кадра" : "кадров"),
  number: (index) => String(index + 1).padStart(3, "0"),
  tally: ([count, first], one, many) => count === 1 ? `кадр ${RUSSIAN_REPORT.number(first)} ${one}`
    : `${RUSSIAN_REPORT.frames(count)} ${many} (первый: кадр ${RUSSIAN_REPORT.number(first)})`,
  refusal(r, box) {
    switch (r.refusal) {
      case "cannotOpen": return "не удалось открыть файл (его нет, это папка или он не читается)";
      case "shorterThanHeader": return `не файл SHP: ${r.fileSize} байт, меньше 8-байтового заголовка`;
      case "imageTooLarge": return `отказано: изображению кадра в рамке спрайта ${box} нужно ${r.bytesNeeded} байт, больше, чем вмещает поток байтов`;
      case "canvasesTooLarge": return `отказано: кадрам с точками нужно ${Math.floor(r.bytesNeeded / 1048576)} МиБ холстов и изображений (${box} каждый), больше разрешённых 512 МиБ`;
    }
    if (r.headersCut > 0)
      return `не файл SHP: таблице из ${RUSSIAN_REPORT.frames(r.framesInHeader)} нужно ${8 + 24 * r.framesInHeader} байт, в файле ${r.fileSize}`;
    return null;
  },
  repairs(r, box) {
    const tallies = [
      [r.clipped, `выходит за рамку спрайта ${box}: обрезан по ней`, `выходят за рамку спрайта ${box}: обрезаны по ней`],
      [r.truncated, "с данными, оборванными концом файла: недостающие точки цвета 0", "с данными, оборванными концом файла: недостающие точки цвета 0"],
      [r.dataPastEnd, "с данными за концом файла: оставлен пустым", "с данными за концом файла: оставлены пустыми"],
      [r.overBudget, "оставлен пустым: кадры перечитывают данные друг друга далеко за размером файла", "оставлены пустыми: кадры перечитывают данные друг друга далеко за размером файла"],
    ];
    return tallies.filter(([tally]) => tally[0] > 0).map(([tally, one, many]) => RUSSIAN_REPORT.tally(tally, one, many));
  },
};

// The lines of a sprite's report in the page's language. A refusal the
// report has no numbers for (an archive's entry not found) keeps the tools' words.
function reportLines(description) {
  if (state.language !== "ru") return description.refusal ? [description.refusal] : description.repairs;
  const box = `${description.width} x ${description.height}`;
  if (description.refusal) return [RUSSIAN_REPORT.refusal(description.report, box) || description.refusal];
  return RUSSIAN_REPORT.repairs(description.report, box);
}

// A request the worker has not answered within this time is taken for a
// hostile file: the worker is replaced and the request fails.
const WORKER_PATIENCE_MS = 30000;

const $ = (id) => document.getElementById(id);
const state = {
  language: (navigator.language || "").toLowerCase().startsWith("ru") ? "ru" : "en",
  // Files stay blobs here: only the worker reads their bytes, so a large
  // file costs the page's own thread nothing.
  sprites: [],   // {name, blob, key, entry}: entry is the path inside an archive
  palettes: [{ name: "Demo.pal", blob: new Blob([Uint8Array.from(atob(DEMO_PALETTE), (c) => c.charCodeAt(0))]) }],
  sprite: null,  // the description of the loaded sprite
  frame: -1,
  loads: 0,      // sprites asked for so far
  files: 0,      // files opened so far: each has a key the worker keeps it by
  player: { list: [], position: 0, timer: 0 },
  status: { key: "ready", extra: "" },
};

function text(key) { return TEXTS[state.language][key]; }

// --- the worker --------------------------------------------------------

const worker = { current: null, pending: new Map(), nextId: 1, url: null, patienceMs: WORKER_PATIENCE_MS };

function startWorker() {
  if (!worker.url) worker.url = URL.createObjectURL(new Blob([WORKER_SOURCE], { type: "text/javascript" }));
  worker.current = new Worker(worker.url);
  worker.current.onmessage = (event) => settle(event.data.id, event.data);
  worker.current.onerror = (event) => { event.preventDefault(); restartWorker(String(event.message)); };
  const palette = state.palettes[Number($("palette").value) || 0];
  if (palette) call({ op: "palette", blob: palette.blob }).catch(() => {});
}

function restartWorker(reason) {
  worker.current.terminate();
  const pending = [...worker.pending.values()];
  worker.pending.clear();
  for (const request of pending) { clearTimeout(request.timer); request.reject(new Error(reason)); }
  stopPlaying();
  state.sprite = null;
  $("frames").replaceChildren();
  clearView();
  startWorker();
  showBusy();
}

function settle(id, reply) {
  const request = worker.pending.get(id);
  if (!request) return;
  worker.pending.delete(id);
  clearTimeout(request.timer);
  showBusy();
  if (reply.dead) {
    restartWorker(text("crashed"));
    request.reject(new Error(text("crashed")));
  } else if (reply.error) {
    request.reject(new Error(reply.error));
  } else {
    request.resolve(reply);
  }
}

function call(message) {
  return new Promise((resolve, reject) => {
    const id = worker.nextId++;
    const timer = setTimeout(() => restartWorker(text("timeout")), worker.patienceMs);
    worker.pending.set(id, { resolve, reject, timer });
    showBusy();
    worker.current.postMessage({ ...message, id });
  });
}

function showBusy() { document.body.dataset.state = worker.pending.size ? "busy" : "idle"; }

// --- texts -------------------------------------------------------------

function setStatus(key, extra = "") { state.status = { key, extra }; showStatus(); }

function showStatus() {
  const { key, extra } = state.status;
  const value = text(key);
  $("status").textContent = (typeof value === "function" ? value(...extra) : value) + (typeof extra === "string" ? extra : "");
}

function showTexts() {
  document.documentElement.lang = state.language;
  for (const element of document.querySelectorAll("[data-text]")) element.textContent = text(element.dataset.text);
  $("language").textContent = text("language");
  $("palette").options[0].textContent = text("demo");
  showStatus();
  if (state.report) showReport(...state.report);
  showPlayer();
}

// `lines`: texts, or a sprite's description whose report is said in the
// page's language.
function showReport(kind, lines) {
  state.report = [kind, lines];
  if (!Array.isArray(lines)) lines = reportLines(lines);
  const report = $("report");
  report.hidden = lines.length === 0;
  report.dataset.kind = kind;
  $("reportTitle").textContent = text(kind);
  $("reportLines").replaceChildren(...lines.map((line) => Object.assign(document.createElement("li"), { textContent: line })));
}

// --- files -------------------------------------------------------------

function addOption(list, label) {
  const option = document.createElement("option");
  option.textContent = label;
  option.value = String(list.options.length);
  list.append(option);
  return option;
}

function addSprite(name, blob, key, entry) {
  state.sprites.push({ name, blob, key, entry });
  addOption($("sprites"), name);
  return state.sprites.length - 1;
}

// Lists the sprites of an archive as "archive.mix/name.shp"; the index of
// the first, or -1.
async function openArchive(file, key, skipped, faults) {
  let listing;
  try {
    listing = (await call({ op: "archive", name: file.name, blob: file, key })).listing;
  } catch (error) {
    setStatus("failed", error.message);
    return -1;
  }
  if (!listing.archive) { skipped.push(file.name); return -1; }
  faults.push(...listing.errors);
  let first = -1;
  for (const entry of listing.entries) {
    const index = addSprite(file.name + "/" + entry, file, key, entry);
    if (first < 0) first = index;
  }
  return first;
}

async function openFiles(files) {
  let firstSprite = -1, newPalette = -1;
  const skipped = [], faults = [];
  for (const file of files) {
    const lower = file.name.toLowerCase();
    const key = "f" + ++state.files;
    if (lower.endsWith(".shp")) {
      const index = addSprite(file.name, file, key, "");
      if (firstSprite < 0) firstSprite = index;
    } else if (lower.endsWith(".mix")) {
      const index = await openArchive(file, key, skipped, faults);
      if (firstSprite < 0) firstSprite = index;
    } else if (lower.endsWith(".pal")) {
      state.palettes.push({ name: file.name, blob: file });
      addOption($("palette"), file.name);
      if (newPalette < 0) newPalette = state.palettes.length - 1;
    } else {
      skipped.push(file.name);
    }
  }
  // The first palette opened replaces the built-in one, as the viewer
  // takes the palettes it finds.
  if (newPalette >= 0 && $("palette").value === "0") {
    $("palette").value = String(newPalette);
    await choosePalette();
  }
  if (firstSprite >= 0) {
    $("sprites").value = String(firstSprite);
    await chooseSprite();
  }
  // Said last, so that the sprite's own line does not hide it.
  if (faults.length) setStatus("archiveFaults", ": " + faults.join("; "));
  if (skipped.length) setStatus(skipped.some((name) => name.toLowerCase().endsWith(".mix")) ? "notArchive" : "notOurs", skipped.join(", "));
}

async function choosePalette() {
  const palette = state.palettes[Number($("palette").value)];
  try {
    const reply = await call({ op: "palette", blob: palette.blob });
    if (!reply.read) setStatus("badPalette", palette.name);
  } catch (error) {
    setStatus("failed", error.message);
  }
  await showFrame(state.frame);
}

async function chooseSprite() {
  const sprite = state.sprites[Number($("sprites").value)];
  if (!sprite) return;
  // Only the sprite chosen last is shown, whichever answer comes first.
  const ticket = ++state.loads;
  stopPlaying();
  state.sprite = null;
  state.frame = -1;
  $("frames").replaceChildren();
  showReport("repaired", []);
  setStatus("loading", sprite.name);
  let reply;
  try {
    const { name, blob, key, entry } = sprite;
    reply = await call({ op: "load", name: entry ? name.slice(0, -entry.length - 1) : name, blob, key, entry });
  } catch (error) {
    if (ticket !== state.loads) return;
    showReport("refused", [error.message]);
    setStatus("failed", sprite.name);
    clearView();
    return;
  }
  if (ticket !== state.loads) return;
  const description = reply.description;
  if (description.refusal) {
    showReport("refused", description);
    setStatus("failed", sprite.name);
    clearView();
    return;
  }
  state.sprite = description;
  showReport("repaired", description);
  for (const line of description.lines) addOption($("frames"), line);
  setStatus("frameCount", [description.width, description.height, description.lines.length]);
  if (description.lines.length === 0) { setStatus("noFrames"); clearView(); return; }
  $("frames").value = "0";
  await showFrame(0);
}

// --- preview -----------------------------------------------------------

function clearView() {
  const canvas = $("view");
  canvas.width = 1;
  canvas.height = 1;
  canvas.style.width = canvas.style.height = "0px";
}

function applyZoom() {
  const zoom = Number($("zoom").value);
  $("zoomText").textContent = zoom + "x";
  const canvas = $("view");
  if (canvas.width > 1 || state.sprite) {
    canvas.style.width = canvas.width * zoom + "px";
    canvas.style.height = canvas.height * zoom + "px";
  }
}

// The frame under frame `index` when shadows are shown: a sprite with an
// even number of frames keeps them in its second half.
function shadowOf(index) {
  const count = state.sprite ? state.sprite.lines.length : 0;
  return $("shadows").checked && count % 2 === 0 && index < count / 2 ? index + count / 2 : -1;
}

async function showFrame(index, shadow = shadowOf(index)) {
  if (!state.sprite || index < 0 || index >= state.sprite.lines.length) return;
  state.frame = index;
  try {
    const checkerboard = $("backdrop").value === "checkerboard";
    const reply = await call({ op: "frame", index, shadow, checkerboard });
    if (state.frame !== index) return;  // a later step overtook this one
    const canvas = $("view");
    canvas.width = reply.width;
    canvas.height = reply.height;
    const image = new ImageData(new Uint8ClampedArray(reply.rgba), reply.width, reply.height);
    canvas.getContext("2d").putImageData(image, 0, 0);
    applyZoom();
  } catch (error) {
    setStatus("failed", error.message);
  }
}

function stepFrame(delta) {
  if (!state.sprite) return;
  stopPlaying();
  const next = Math.min(Math.max(state.frame + delta, 0), state.sprite.lines.length - 1);
  $("frames").value = String(next);
  showFrame(next);
}

// --- animation ---------------------------------------------------------

function delayMs() {
  const delay = Math.round(Number($("delay").value));
  return Number.isFinite(delay) ? Math.min(Math.max(delay, 20), 2000) : 100;
}

function selectedFrames() {
  return [...$("frames").selectedOptions].map((option) => Number(option.value));
}

// The frames the animation plays, as the viewer's animation window
// chooses them: [frame, shadow] pairs.
async function playList() {
  const reply = await call({ op: "playList", onlySelected: $("onlySelected").checked,
                             shadows: $("shadows").checked, selected: selectedFrames() });
  return reply.list;
}

function showPlayer() {
  const { list, position, timer } = state.player;
  $("play").textContent = text(timer ? "stop" : "play");
  $("position").textContent = timer ? text("position")(position + 1, list.length) : "";
}

function stopPlaying() {
  clearTimeout(state.player.timer);
  state.player.timer = 0;
  showPlayer();
}

async function startPlaying() {
  if (!state.sprite) return;
  const ticket = state.loads;
  const list = await playList();
  if (ticket !== state.loads) return;
  if (!list.length) { setStatus("nothingToPlay"); return; }
  clearTimeout(state.player.timer);
  state.player = { list, position: list.length - 1, timer: -1 };
  nextPlayedFrame();
}

// Each frame is asked for once the one before is shown, so that a slow
// frame delays the next rather than piling up requests.
async function nextPlayedFrame() {
  const player = state.player;
  if (!player.timer) return;
  const started = performance.now();
  player.position = (player.position + 1) % player.list.length;
  const [frame, shadow] = player.list[player.position];
  await showFrame(frame, shadow);
  if (!player.timer || player !== state.player) return;
  showPlayer();
  player.timer = setTimeout(nextPlayedFrame, Math.max(0, delayMs() - (performance.now() - started)));
}

function togglePlaying() { if (state.player.timer) stopPlaying(); else startPlaying(); }

// --- downloads ---------------------------------------------------------

async function download(format) {
  if (!state.sprite) return;
  try {
    // A GIF is the animation as it plays, as the viewer's window saves it.
    const gif = format === "gif" ? { frames: (await playList()).map(([frame]) => frame), delay: delayMs(),
                                     opaque: $("backdrop").value === "palette" } : {};
    const reply = await call({ op: "export", format, index: state.frame, ...gif });
    if (!reply.files.length) { setStatus("notWritten"); return; }
    for (const file of reply.files) {
      const link = document.createElement("a");
      link.download = file.name;
      link.href = URL.createObjectURL(new Blob([file.bytes]));
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }
  } catch (error) {
    setStatus("failed", error.message);
  }
}

// --- wiring ------------------------------------------------------------

function wire() {
  $("open").addEventListener("change", (event) => { openFiles([...event.target.files]); event.target.value = ""; });
  $("sprites").addEventListener("change", chooseSprite);
  $("palette").addEventListener("change", choosePalette);
  $("frames").addEventListener("change", () => showFrame(Number($("frames").value)));
  $("zoom").addEventListener("input", applyZoom);
  $("play").addEventListener("click", togglePlaying);
  $("delay").addEventListener("change", () => { $("delay").value = String(delayMs()); });
  for (const id of ["backdrop", "shadows"])
    $(id).addEventListener("change", () => { if (!state.player.timer) showFrame(state.frame); });
  $("onlySelected").addEventListener("change", () => { if (state.player.timer) startPlaying(); });
  $("language").addEventListener("click", () => { state.language = state.language === "ru" ? "en" : "ru"; showTexts(); });
  for (const [id, format] of [["saveBmp", "bmp"], ["savePng", "png"], ["saveSheet", "sheet"], ["saveGif", "gif"]])
    $(id).addEventListener("click", () => download(format));
  document.addEventListener("keydown", (event) => {
    // Lists and fields move with the arrows themselves.
    if (event.target.closest("select, input")) return;
    if (event.key === " " && !event.target.closest("button")) { event.preventDefault(); togglePlaying(); return; }
    const delta = { ArrowLeft: -1, ArrowUp: -1, ArrowRight: 1, ArrowDown: 1 }[event.key];
    if (delta) { event.preventDefault(); stepFrame(delta); }
  });
  document.addEventListener("dragover", (event) => { event.preventDefault(); document.body.classList.add("dragging"); });
  document.addEventListener("dragleave", () => document.body.classList.remove("dragging"));
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("dragging");
    openFiles([...event.dataTransfer.files]);
  });
}

addOption($("palette"), "Demo.pal");
wire();
showTexts();
startWorker();
