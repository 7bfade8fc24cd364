#!/usr/bin/env python3
"""The independent readers (python3 with openpyxl, pdftotext, pdfinfo) for
test programs that run under Wine. Wine starts a Unix program from a Windows
one, but hands back a process that has already ended: no exit code, no
output, nothing to wait for. So the Windows test leaves a request in a folder
and this service, started on the host by the ctest run, runs the reader and
leaves its answer beside it.

  lector_anfitrion.py start DIR   starts the service in the background
  lector_anfitrion.py stop DIR    ends it

A request NAME.pedido holds {"programa": ..., "argumentos": [...]} (paths
already the host's); the answer NAME.respuesta holds {"codigo": exit code,
"salida": standard output in base64, "error": standard error}. Both files
appear whole: each is written under another name first and then renamed."""
import base64
import json
import os
import signal
import subprocess
import sys
import threading
import time


def answer(folder, name):
    running = os.path.join(folder, name + ".enCurso")
    try:
        with open(running, encoding="utf-8") as f:
            asked = json.load(f)
        done = subprocess.run([asked["programa"]] + asked["argumentos"], capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=300)
        result = {"codigo": done.returncode,
                  "salida": base64.b64encode(done.stdout).decode("ascii"),
                  "error": done.stderr.decode("utf-8", "replace")}
    except Exception as e:  # the test reads the reason instead of waiting in vain
        result = {"codigo": -1, "salida": "", "error": f"lector_anfitrion: {e}"}
    os.remove(running)
    partial = os.path.join(folder, name + ".escribiendo")
    with open(partial, "w", encoding="utf-8") as f:
        json.dump(result, f)
    os.rename(partial, os.path.join(folder, name + ".respuesta"))


def serve(folder):
    while True:
        for entry in os.listdir(folder):
            if entry.endswith(".pedido"):
                # Taken before the next look at the folder, so it runs once.
                name = entry[:-len(".pedido")]
                try:
                    os.rename(os.path.join(folder, entry), os.path.join(folder, name + ".enCurso"))
                except FileNotFoundError:  # taken by a service left from an earlier run
                    continue
                threading.Thread(target=answer, args=(folder, name), daemon=True).start()
        time.sleep(0.02)


def start(folder):
    os.makedirs(folder, exist_ok=True)
    stop(folder)
    for entry in os.listdir(folder):
        os.remove(os.path.join(folder, entry))
    if os.fork():
        return
    os.setsid()
    if os.fork():
        os._exit(0)
    # ctest waits for the starter's output to close: the service keeps none of it.
    null = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(null, fd)
    with open(os.path.join(folder, "servicio.pid"), "w") as f:
        f.write(str(os.getpid()))
    serve(folder)


def stop(folder):
    try:
        with open(os.path.join(folder, "servicio.pid")) as f:
            os.kill(int(f.read()), signal.SIGTERM)
    except (FileNotFoundError, ProcessLookupError):
        pass


if __name__ == "__main__":
    {"start": start, "stop": stop}[sys.argv[1]](os.path.abspath(sys.argv[2]))
