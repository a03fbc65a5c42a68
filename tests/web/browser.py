"""A headless Chromium driven over the DevTools protocol, on loopback only:
open a page, give files to a file input, evaluate script, collect downloads.
The browser started here is ended here, by its process id."""
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket


class Browser:
    def __init__(self, downloads, language="en-US"):
        self.profile = tempfile.mkdtemp(prefix="skarnel-chromium-")
        self.downloads = downloads
        args = ["chromium", "--headless", "--disable-gpu", "--no-first-run", "--remote-debugging-port=0",
                "--remote-debugging-address=127.0.0.1", f"--user-data-dir={self.profile}",
                f"--lang={language}", f"--accept-lang={language}", "--window-size=1280,900",
                "about:blank"]
        if os.geteuid() == 0:
            args.insert(1, "--no-sandbox")
        self.process = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.next_id = 0
        self.events = []
        self.socket = websocket.create_connection(self._page_socket(), timeout=60)
        self.send("Page.enable")
        self.send("Runtime.enable")
        self.send("Browser.setDownloadBehavior", behavior="allow", downloadPath=downloads,
                  eventsEnabled=True)

    def _page_socket(self):
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 30
        while time.time() < deadline:
            if os.path.exists(port_file):
                port = open(port_file).read().split()[0]
                targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json"))
                for target in targets:
                    if target["type"] == "page":
                        return target["webSocketDebuggerUrl"]
            time.sleep(0.2)
        raise RuntimeError("chromium did not start")

    def send(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            self.events.append(message)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, awaitPromise=True,
                           returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, seconds=60):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.evaluate(expression):
                return
            time.sleep(0.1)
        raise RuntimeError(f"timed out waiting for {expression}")

    def open(self, url):
        self.send("Page.navigate", url=url)
        self.wait_for("document.body && document.body.dataset.state === 'idle'")

    def set_files(self, selector, paths):
        document = self.send("DOM.getDocument")
        node = self.send("DOM.querySelector", nodeId=document["root"]["nodeId"], selector=selector)
        self.send("DOM.setFileInputFiles", nodeId=node["nodeId"],
                  files=[os.path.abspath(path) for path in paths])

    def wait_downloads(self, names, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if all(os.path.exists(os.path.join(self.downloads, name)) for name in names):
                self.send("Runtime.evaluate", expression="0")  # collects pending events
                done = {e["params"]["guid"] for e in self.events
                        if e.get("method") == "Browser.downloadProgress"
                        and e["params"]["state"] == "completed"}
                if len(done) >= len(names):
                    return
            time.sleep(0.1)
        raise RuntimeError(f"downloads not complete: {names}")

    def console_errors(self):
        return [e for e in self.events if e.get("method") == "Runtime.exceptionThrown"]

    def screenshot(self, path):
        import base64
        data = self.send("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            # Chromium's helper processes may still write to the profile for a
            # moment after the browser itself has ended.
            for _ in range(20):
                shutil.rmtree(self.profile, ignore_errors=True)
                if not os.path.exists(self.profile):
                    break
                time.sleep(0.25)
