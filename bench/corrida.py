"""One whole run of a program, as the benchmarks against references time it."""

import os
import subprocess
import sys
import tempfile
import time


def correr(argv, salida, stdin=None, stdout=None):
    """Seconds from start to exit, the child's CPU seconds (user and system)
    and its peak resident memory in bytes.

    On a machine shared with other work the wall time moves with the load;
    the CPU time much less, so both are given. The child is started by
    /usr/bin/time, a few hundred KiB, which reports what wait4 gives it: a
    child forked from this script would start its peak from the script's own
    size. What the child says on its error stream is shown only when it fails.
    """
    if salida and os.path.exists(salida):
        os.unlink(salida)
    with tempfile.NamedTemporaryFile() as medida, tempfile.TemporaryFile() as errores:
        t0 = time.perf_counter()
        p = subprocess.run(["/usr/bin/time", "-q", "-f", "%M %U %S", "-o", medida.name] + argv,
                           stdin=stdin, stdout=stdout or subprocess.DEVNULL, stderr=errores)
        t = time.perf_counter() - t0
        if p.returncode != 0:
            errores.seek(0)
            sys.exit("%s terminó con código %d:\n%s"
                     % (" ".join(argv), p.returncode, errores.read().decode(errors="replace")))
        pico, usuario, sistema = medida.read().split()[-3:]
        return t, float(usuario) + float(sistema), int(pico) * 1024
