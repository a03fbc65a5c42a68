"use strict";
// The page: the files the user opened, the lists and the preview. Every
// byte of a file is read by the codec in a worker; this side only shows
// what the worker answers, so a hostile file cannot stall the page.

const TEXTS = {
  ru: {
    open: "Открыть файлы...", drop: "или перетащите сюда файлы .shp и .pal",
    sprites: "Спрайты", palette: "Палитра", frames: "Кадры", zoom: "Масштаб",
    saveBmp: "Кадр в BMP", savePng: "Кадр в PNG", saveSheet: "Лист PNG + JSON",
    saveGif: "Анимация GIF", language: "English", demo: "Demo (встроенная)",
    ready: "Откройте спрайты .shp и палитры .pal.", loading: "Загрузка: ",
    frameCount: (w, h, n) => `${w} x ${h}, кадров: ${n}`,
    refused: "Файл не загружен", repaired: "Файл загружен с исправлениями",
    noFrames: "В спрайте нет кадров.", notOurs: "Не SHP и не PAL, пропущен: ",
    badPalette: "Не удалось прочитать палитру: ", timeout: "Разбор файла длился слишком долго и был прерван.",
    failed: "Не удалось: ", notWritten: "Не удалось записать файл.",
    crashed: "Декодер не справился с этим файлом и был перезапущен.",
  },
  en: {
    open: "Open files...", drop: "or drop .shp and .pal files here",
    sprites: "Sprites", palette: "Palette", frames: "Frames", zoom: "Zoom",
    saveBmp: "Frame as BMP", savePng: "Frame as PNG", saveSheet: "Sheet PNG + JSON",
    saveGif: "Animated GIF", language: "Русский", demo: "Demo (built in)",
    ready: "Open .shp sprites and .pal palettes.", loading: "Loading: ",
    frameCount: (w, h, n) => `${w} x ${h}, ${n} frames`,
    refused: "The file was not loaded", repaired: "The file was loaded with repairs",
    noFrames: "The sprite has no frames.", notOurs: "Neither SHP nor PAL, skipped: ",
    badPalette: "Cannot read the palette: ", timeout: "Reading the file took too long and was stopped.",
    failed: "Failed: ", notWritten: "The file could not be written.",
    crashed: "The decoder failed on this file and was restarted.",
  },
};

// A request the worker has not answered within this time is taken for a
// hostile file: the worker is replaced and the request fails.
const WORKER_PATIENCE_MS = 30000;

const $ = (id) => document.getElementById(id);
const state = {
  language: (navigator.language || "").toLowerCase().startsWith("ru") ? "ru" : "en",
  // Files stay blobs here: only the worker reads their bytes, so a large
  // file costs the page's own thread nothing.
  sprites: [],   // {name, blob}
  palettes: [{ name: "Demo.pal", blob: new Blob([Uint8Array.from(atob(DEMO_PALETTE), (c) => c.charCodeAt(0))]) }],
  sprite: null,  // the description of the loaded sprite
  frame: -1,
  loads: 0,      // sprites asked for so far
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
  if (!$("report").hidden) $("reportTitle").textContent = text($("report").dataset.kind);
}

function showReport(kind, lines) {
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

async function openFiles(files) {
  let firstSprite = -1, newPalette = -1;
  const skipped = [];
  for (const file of files) {
    const lower = file.name.toLowerCase();
    if (lower.endsWith(".shp")) {
      state.sprites.push({ name: file.name, blob: file });
      addOption($("sprites"), file.name);
      if (firstSprite < 0) firstSprite = state.sprites.length - 1;
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
  if (skipped.length) setStatus("notOurs", skipped.join(", "));
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
  state.sprite = null;
  state.frame = -1;
  $("frames").replaceChildren();
  showReport("repaired", []);
  setStatus("loading", sprite.name);
  let reply;
  try {
    reply = await call({ op: "load", name: sprite.name, blob: sprite.blob });
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
    showReport("refused", [description.refusal]);
    setStatus("failed", sprite.name);
    clearView();
    return;
  }
  state.sprite = description;
  showReport("repaired", description.repairs);
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

async function showFrame(index) {
  if (!state.sprite || index < 0 || index >= state.sprite.lines.length) return;
  state.frame = index;
  try {
    const reply = await call({ op: "frame", index });
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
  const next = Math.min(Math.max(state.frame + delta, 0), state.sprite.lines.length - 1);
  $("frames").value = String(next);
  showFrame(next);
}

// --- downloads ---------------------------------------------------------

async function download(format) {
  if (!state.sprite) return;
  try {
    const reply = await call({ op: "export", format, index: state.frame });
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
  $("language").addEventListener("click", () => { state.language = state.language === "ru" ? "en" : "ru"; showTexts(); });
  for (const [id, format] of [["saveBmp", "bmp"], ["savePng", "png"], ["saveSheet", "sheet"], ["saveGif", "gif"]])
    $(id).addEventListener("click", () => download(format));
  document.addEventListener("keydown", (event) => {
    // Lists and fields move with the arrows themselves.
    if (event.target.closest("select, input")) return;
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
