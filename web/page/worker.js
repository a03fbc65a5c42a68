"use strict";
// The worker's side: files arrive as bytes, go into the module's in-memory
// file system, and the codec's C functions read and write them there.

const ready = SkarnelModule().then((M) => {
  for (const folder of ["/in", "/out"]) M.FS.mkdir(folder);
  return M;
});

function number(M, name, types, args) { return M.ccall(name, "number", types, args); }

function handle(M, message, bytes) {
  switch (message.op) {
    case "palette": {
      M.FS.writeFile("/in/palette.pal", bytes);
      const read = number(M, "SkarnelSetPalette", ["string"], ["/in/palette.pal"]) === 1;
      M.FS.unlink("/in/palette.pal");
      return { read };
    }
    case "load": {
      // The sprite's name comes from its file name, as in the tools.
      // The file stays until the next sprite: exports read it again a frame
      // at a time, as the tools do.
      if (self.spritePath) M.FS.unlink(self.spritePath);
      self.spritePath = "/in/" + message.name.replace(/[\/\\]/g, "_");
      M.FS.writeFile(self.spritePath, bytes);
      number(M, "SkarnelLoadSprite", ["string"], [self.spritePath]);
      const description = JSON.parse(M.UTF8ToString(number(M, "SkarnelDescribeSprite", [], [])));
      self.description = description;
      return { description };
    }
    case "frame": {
      const pointer = number(M, "SkarnelFrameRgba", ["number"], [message.index]);
      if (!pointer) throw new Error("no frame " + (message.index + 1));
      const { width, height } = self.description;
      const rgba = M.HEAPU8.slice(pointer, pointer + width * height * 4).buffer;
      return { width, height, rgba, transfer: [rgba] };
    }
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
    written = number(M, "SkarnelExportSprite", ["string", "string", "number", "number"], [message.format, "/out", 100, 0]);
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
    const bytes = message.blob ? new Uint8Array(await message.blob.arrayBuffer()) : null;
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
