"use strict";
// The worker's side: files arrive as bytes, go into the module's in-memory
// file system, and the codec's C functions read and write them there.

const ready = SkarnelModule().then((M) => {
  for (const folder of ["/in", "/out"]) M.FS.mkdir(folder);
  return M;
});

function number(M, name, types, args) { return M.ccall(name, "number", types, args); }
function json(M, name, types, args) { return JSON.parse(M.UTF8ToString(number(M, name, types, args))); }

// One file the page opened is kept at a time: the sprite shown, or the
// archive it comes from, since previews and exports read it again a frame
// at a time, as the tools do. Each sits in a folder of its own so that it
// keeps its name, which names the sprite.
function keep(M, message, bytes) {
  if (self.kept && self.kept.key === message.key) return self.kept.path;
  if (self.kept) {
    M.FS.unlink(self.kept.path);
    M.FS.rmdir(self.kept.folder);
  }
  const folder = "/in/" + message.key;
  const path = folder + "/" + message.name.replace(/[\/\\]/g, "_");
  M.FS.mkdir(folder);
  M.FS.writeFile(path, bytes);
  self.kept = { key: message.key, folder, path };
  return path;
}

function handle(M, message, bytes) {
  switch (message.op) {
    case "palette": {
      M.FS.writeFile("/in/palette.pal", bytes);
      const read = number(M, "SkarnelSetPalette", ["string"], ["/in/palette.pal"]) === 1;
      M.FS.unlink("/in/palette.pal");
      return { read };
    }
    case "archive":
      return { listing: json(M, "SkarnelListArchive", ["string"], [keep(M, message, bytes)]) };
    case "load": {
      const file = keep(M, message, bytes);
      number(M, "SkarnelLoadSprite", ["string"], [message.entry ? file + "/" + message.entry : file]);
      const description = json(M, "SkarnelDescribeSprite", [], []);
      self.description = description;
      return { description };
    }
    case "frame": {
      const pointer = number(M, "SkarnelFrameRgba", ["number", "number", "number"],
                             [message.index, message.shadow, message.checkerboard ? 1 : 0]);
      if (!pointer) throw new Error("no frame " + (message.index + 1));
      const { width, height } = self.description;
      const rgba = M.HEAPU8.slice(pointer, pointer + width * height * 4).buffer;
      return { width, height, rgba, transfer: [rgba] };
    }
    case "playList":
      return { list: json(M, "SkarnelPlayList", ["number", "number", "string"],
                          [message.onlySelected ? 1 : 0, message.shadows ? 1 : 0, message.selected.join(",")]) };
    case "export": return exportFiles(M, message);
  }
  throw new Error("unknown request " + message.op);
}

function exportFiles(M, message) {
  const { name } = self.description;
  let written;
  if (message.format === "bmp" || message.format === "png") {
    const file = name + String(message.index + 1).padStart(3, "0") + "." + message.format;
    written = number(M, "SkarnelExportFrame", ["string", "number", "string"], [message.format, message.index, "/out/" + file]);
  } else {
    written = number(M, "SkarnelExportSprite", ["string", "string", "string", "number", "number", "number"],
                     [message.format, "/out", (message.frames || []).join(","), message.delay || 100, 0, message.opaque ? 1 : 0]);
  }
  const files = [];
  for (const file of M.FS.readdir("/out").filter((entry) => entry !== "." && entry !== "..").sort()) {
    if (written) files.push({ name: file, bytes: M.FS.readFile("/out/" + file) });
    M.FS.unlink("/out/" + file);
  }
  return { files, transfer: files.map((file) => file.bytes.buffer) };
}

self.onmessage = async (event) => {
  const message = event.data;
  let reply;
  try {
    const M = await ready;
    // A file kept from before is not read again.
    const kept = message.op !== "palette" && self.kept && self.kept.key === message.key;
    const bytes = message.blob && !kept ? new Uint8Array(await message.blob.arrayBuffer()) : null;
    reply = handle(M, message, bytes);
  } catch (error) {
    // A trap, or a C++ exception (which this build does not catch), leaves
    // the module in an unknown state: the page starts a new one.
    const dead = !(error instanceof Error) || error instanceof WebAssembly.RuntimeError;
    reply = { error: String(error && error.message || error), dead };
  }
  const transfer = reply.transfer || [];
  delete reply.transfer;
  self.postMessage({ ...reply, id: message.id }, transfer);
};
