#!/usr/bin/python3
"""End-to-end print test: `kr44 /p FILE` through a real CUPS scheduler onto a cups-pdf queue.

The test starts a scheduler of its own (configuration, spool, logs and a Unix socket under a
temporary folder), adds a cups-pdf queue and makes it the default, and points every CUPS client
here, kr44's print support among them, at that socket through CUPS_SERVER. kr44 then prints each
program with `/p` on a virtual unit's pseudo-terminal (so no port dialog stops it), and each
page cups-pdf writes is compared as an image with the same page printed straight to PDF by
`kr44 --print-pdf`: paper, page count, shapes at 300 dpi and tones at 100 dpi. cups-pdf
re-encodes the fonts, so their text cannot be extracted and only the pixels can be compared.

cups-pdf reads its settings from /etc/cups, a path built into it. To write into the temporary
folder instead of the user's ~/PDF without touching the machine's files, the scheduler runs in a
mount namespace of its own where a private folder is mounted over /etc/cups. Where namespaces are
not allowed, the queue is named after a settings file of its own, /etc/cups/cups-pdf-NAME.conf,
which is removed again at the end.

The cups-pdf backend only runs under a scheduler started by root: other users, and machines
without the scheduler or a tool, skip the test (exit code 77).

Run:  print_cups.py --kr44 build/src/app/kr44 --sim build/src/sim/kr44-sim \
                    --program examples/axis-demo.krp [--keep]
"""

import argparse
import ctypes
import glob
import itertools
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import uuid

SKIP = 77  # CTest's SKIP_RETURN_CODE for this script

# A loaded CI machine can take several seconds to start a debug kr44 or to run Ghostscript; a
# deadline only bounds how long a broken run takes to fail.
DEADLINE = 90.0
POLL = 0.05

QUEUE = "kr44-cups-pdf"
CUPSD = "/usr/sbin/cupsd"
BACKEND = "/usr/lib/cups/backend/cups-pdf"
PPD_GLOBS = ("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
             "/usr/share/ppd/cups-pdf/CUPS-PDF*.ppd",
             "/usr/share/cups/model/CUPS-PDF*.ppd")
TOOLS = ("lpadmin", "lpstat", "pdfinfo", "pdftoppm", "convert")

# Raster comparison. cups-pdf's Ghostscript turns the text into Type 3 glyphs, which pdftoppm
# draws without anti-aliasing, while the direct PDF keeps its TrueType font, drawn smoothed: a thin
# stroke may be one black pixel column on one page and two grey ones on the other. Two checks
# allow for that and still see a changed digit, a missing line or a moved column:
# - Shapes, at RENDER_DPI: every dark pixel (darker than mid-grey) of either page has a dark
#   pixel at most one pixel (1/300 inch) away on the other. A "5" printed where the direct page
#   has a "6" leaves about 20 pixels without one.
# - Tones, at COMPARE_DPI (the pages averaged down): the mean grey of every BLOCK x BLOCK square
#   (0.08 inch, overlapping at BLOCK_STEP) agrees within MAX_BLOCK_DIFFERENCE levels. Smoothing
#   moves a square by about 12 levels; the light grey title band is 35 levels below white.
RENDER_DPI = 300
MAX_LONELY_PIXELS = 8
COMPARE_DPI = 100
BLOCK = 8
BLOCK_STEP = 2
MAX_BLOCK_DIFFERENCE = 24
# A page with fewer dark pixels than this at RENDER_DPI is blank, and two blank pages would
# match trivially.
MIN_INK_PIXELS = 10000
DARK = bytes(1 if grey < 128 else 0 for grey in range(256))
# A4 in points; the direct PDF is A4 when the locale measures in metres, as C.UTF-8 does.
A4 = (595.28, 841.89)


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, probe, timeout=DEADLINE, alive=None):
    """Polls probe() until it returns something other than None or False, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        if alive is not None:
            alive()
        value = probe()
        if value is not None and value is not False:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL)


def die_with_parent():
    """Runs in a child before exec: the child gets SIGTERM when this script dies, even when a
    runner kills the script without letting it clean up."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop_process(process, name):
    if process is None or process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        process.wait(15)
    except subprocess.TimeoutExpired:
        print(f"{name} did not end on SIGTERM; killing it", file=sys.stderr)
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


def read_pgm(path):
    """Width, height and the grey bytes of a binary PGM file as pdftoppm -gray writes it."""
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    check(fields[0] == b"P5" and fields[3] == b"255", f"{path} is not an 8-bit binary PGM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height]
    check(len(pixels) == width * height, f"{path} is cut short")
    return width, height, pixels


def dark_rows(width, height, pixels):
    """Each row as an integer with bit 8 * (width - 1 - x) set where pixel x is dark."""
    dark = pixels.translate(DARK)
    return [int.from_bytes(dark[y * width:(y + 1) * width], "big") for y in range(height)]


def lonely_pixels(width, rows, other_rows):
    """How many dark pixels of `rows` have no dark pixel of `other_rows` in the 3x3 square
    around them, and the first of them as (x, y)."""
    mask = (1 << (8 * width)) - 1
    spread = [r | ((r << 8) & mask) | (r >> 8) for r in other_rows]
    count, first = 0, None
    for y, row in enumerate(rows):
        near = spread[y]
        if y > 0:
            near |= spread[y - 1]
        if y + 1 < len(spread):
            near |= spread[y + 1]
        left = row & ~near
        if left:
            count += left.bit_count()
            if first is None:
                first = (width - 1 - (left.bit_length() - 1) // 8, y)
    return count, first


def worst_block(width, height, a, b):
    """The largest difference of mean grey between the same square on two images, and where."""
    worst, where = 0, (0, 0)
    rows = [list(itertools.accumulate((p - q for p, q in zip(a[y * width:(y + 1) * width],
                                                              b[y * width:(y + 1) * width])),
                                      initial=0))
            for y in range(height)]
    for y in range(0, height - BLOCK + 1, BLOCK_STEP):
        columns = [sum(sums) for sums in zip(*rows[y:y + BLOCK])]
        for x in range(0, width - BLOCK + 1, BLOCK_STEP):
            difference = abs(columns[x + BLOCK] - columns[x])
            if difference > worst:
                worst, where = difference, (x, y)
    return worst / (BLOCK * BLOCK), where


def read_same_size(printed, direct, label):
    width, height, a = read_pgm(printed)
    direct_width, direct_height, b = read_pgm(direct)
    check((width, height) == (direct_width, direct_height),
          f"{label}: the printed page is {width}x{height} pixels, "
          f"the direct one {direct_width}x{direct_height}")
    return width, height, a, b


def compare_pages(printed, direct, label):
    """Fails unless two pages drawn at RENDER_DPI are the same within the tolerances above."""
    width, height, a, b = read_same_size(printed, direct, label)
    a_rows, b_rows = dark_rows(width, height, a), dark_rows(width, height, b)
    ink = sum(r.bit_count() for r in b_rows)
    check(ink >= MIN_INK_PIXELS, f"{label}: the direct page is nearly blank ({ink} dark pixels)")
    only_printed, where_printed = lonely_pixels(width, a_rows, b_rows)
    only_direct, where_direct = lonely_pixels(width, b_rows, a_rows)
    print(f"{label}: {width}x{height} pixels at {RENDER_DPI} dpi, {ink} dark; dark pixels with "
          f"nothing dark near them on the other page: {only_printed} printed, {only_direct} direct")
    check(only_printed + only_direct <= MAX_LONELY_PIXELS,
          f"{label}: {only_printed} dark pixels of the printed page (the first at {where_printed})"
          f" and {only_direct} of the direct page (the first at {where_direct}) have nothing dark "
          f"near them on the other page; the images are {printed} and {direct}")

    smaller = []
    for image in (printed, direct):
        smaller.append(f"{image[:-4]}-{COMPARE_DPI}dpi.pgm")
        # A box filter averages whole blocks of pixels, as a scanner at the lower resolution would.
        subprocess.run(["convert", image, "-filter", "box",
                        "-resize", f"{100 * COMPARE_DPI / RENDER_DPI:.4f}%", smaller[-1]],
                       check=True, capture_output=True)
    width, height, a, b = read_same_size(*smaller, label)
    worst, (x, y) = worst_block(width, height, a, b)
    print(f"{label}: at {COMPARE_DPI} dpi the {BLOCK}x{BLOCK} squares differ by {worst:.1f} grey "
          f"levels at most, at ({x},{y})")
    check(worst <= MAX_BLOCK_DIFFERENCE,
          f"{label}: the printed and the direct page differ by {worst:.1f} grey levels in the "
          f"{BLOCK}x{BLOCK} square at ({x},{y}) pixels, more than {MAX_BLOCK_DIFFERENCE}; "
          f"the images are {smaller[0]} and {smaller[1]}")


def render(pdf, prefix):
    """Draws every page of `pdf` in grey at RENDER_DPI; returns the image files in page order."""
    subprocess.run(["pdftoppm", "-r", str(RENDER_DPI), "-gray", pdf, prefix], check=True,
                   capture_output=True)
    return sorted(glob.glob(f"{prefix}-*.pgm"), key=lambda p: int(p.rsplit("-", 1)[1][:-4]))


def pdf_info(path):
    out = subprocess.run(["pdfinfo", path], check=True, capture_output=True, text=True).stdout
    info = {}
    for line in out.splitlines():
        key, _, value = line.partition(":")
        info[key.strip()] = value.strip()
    pages = int(info["Pages"])
    size = info["Page size"].split()
    return pages, (float(size[0]), float(size[2]))


class PrintSystem:
    """A private CUPS scheduler with one cups-pdf queue as its default printer."""

    def __init__(self, ppd, keep, allow_namespace=True):
        self.ppd = ppd
        self.keep = keep
        self.allow_namespace = allow_namespace
        # The scheduler's socket path must fit a sockaddr_un, so the folder stays short.
        self.tmp = tempfile.mkdtemp(prefix="kr44-print-", dir="/tmp")
        # Filters run as the unprivileged "lp" user and read the spool below this folder.
        os.chmod(self.tmp, 0o755)
        self.socket = os.path.join(self.tmp, "cups.sock")
        self.out = os.path.join(self.tmp, "out")
        self.logs = os.path.join(self.tmp, "log")
        self.scheduler = None
        self.unit = None
        self.apps = []
        self.queue_conf = None  # a per-queue cups-pdf settings file in /etc/cups, if one is used
        self.device_uri = "cups-pdf:/"
        self.env = None

    def path(self, *parts):
        return os.path.join(self.tmp, *parts)

    # --- scheduler ---------------------------------------------------------------------------

    def start(self):
        for folder in ("etc", "etc/ppd", "run", "cache", "spool", "spool/tmp", "log",
                       "client", "home", "config", "data", "cache-xdg", "runtime", "files",
                       "cups-pdf-spool"):
            os.makedirs(self.path(folder), exist_ok=True)
        os.chmod(self.path("runtime"), 0o700)
        os.chmod(self.path("spool/tmp"), 0o1777)

        self.env = self.client_environment()
        self.write_scheduler_config()
        use_namespace = self.allow_namespace and self.namespaces_allowed()
        cups_pdf_conf = self.cups_pdf_config()
        if use_namespace:
            with open(self.path("etc", "cups-pdf.conf"), "w") as f:
                f.write(cups_pdf_conf)
            # unshare and sh exec in turn, so the process kept here is the scheduler itself.
            script = 'mount --bind "$1" /etc/cups && exec "$2" -f -c "$3" -s "$4"'
            command = ["unshare", "--mount", "--propagation", "private", "--",
                       "/bin/sh", "-c", script, "sh", self.path("etc"), CUPSD,
                       self.path("etc", "cupsd.conf"), self.path("etc", "cups-files.conf")]
            print("cups-pdf settings: a private /etc/cups in the scheduler's mount namespace")
        else:
            if not os.access("/etc/cups", os.W_OK):
                raise Skip("no mount namespace for the scheduler and /etc/cups is not writable, "
                           "so cups-pdf cannot be told where to write")
            name = f"kr44test-{uuid.uuid4().hex[:12]}"
            self.queue_conf = f"/etc/cups/cups-pdf-{name}.conf"
            with open(self.queue_conf, "w") as f:
                f.write(cups_pdf_conf)
            self.device_uri = f"cups-pdf:/{name}"
            command = [CUPSD, "-f", "-c", self.path("etc", "cupsd.conf"),
                       "-s", self.path("etc", "cups-files.conf")]
            print(f"cups-pdf settings: {self.queue_conf} (no mount namespace here)")

        self.scheduler = subprocess.Popen(
            command, stdin=subprocess.DEVNULL, stdout=self.log_file("cupsd.out"),
            stderr=subprocess.STDOUT, start_new_session=True, preexec_fn=die_with_parent)

        def ready():
            if self.scheduler.poll() is not None:
                raise Skip(f"the CUPS scheduler could not start (exit code "
                           f"{self.scheduler.returncode}): {self.tail('cupsd.out')}"
                           f"{self.tail('error_log')}")
            answer = self.lp("lpstat", "-r", check_status=False).stdout
            return answer.strip() == "scheduler is running"

        try:
            wait_for("the CUPS scheduler to answer on its socket", ready)
        except Failure as failure:
            raise Skip(f"{failure}{self.tail('cupsd.out')}{self.tail('error_log')}")

        # -P with a PPD file is deprecated in CUPS 2.4 but still works, and needs no driver
        # database; the warning it prints is expected.
        self.lp("lpadmin", "-p", QUEUE, "-E", "-v", self.device_uri, "-P", self.ppd)
        self.lp("lpadmin", "-d", QUEUE)
        default = self.lp("lpstat", "-d").stdout
        check(QUEUE in default, f"{QUEUE} did not become the default printer: {default!r}")
        print(f"scheduler ready on {self.socket}; {default.strip()}")

    def namespaces_allowed(self):
        if shutil.which("unshare") is None:
            return False
        probe = subprocess.run(
            ["unshare", "--mount", "--propagation", "private", "--", "/bin/sh", "-c",
             'mount --bind "$1" /etc/cups', "sh", self.path("etc")],
            stdin=subprocess.DEVNULL, capture_output=True, text=True)
        return probe.returncode == 0

    def write_scheduler_config(self):
        with open(self.path("etc", "cups-files.conf"), "w") as f:
            f.write(f"""ServerRoot {self.path("etc")}
StateDir {self.path("run")}
CacheDir {self.path("cache")}
RequestRoot {self.path("spool")}
TempDir {self.path("spool", "tmp")}
AccessLog {self.path("log", "access_log")}
ErrorLog {self.path("log", "error_log")}
PageLog {self.path("log", "page_log")}
Printcap {self.path("run", "printcap")}
SystemGroup root
FileDevice No
""")
        # Only the private socket: no network port, no browsing, no authentication.
        with open(self.path("etc", "cupsd.conf"), "w") as f:
            f.write(f"""LogLevel debug
MaxLogSize 0
Listen {self.socket}
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
""")

    def cups_pdf_config(self):
        return f"""Out {self.out}
Spool {self.path("cups-pdf-spool")}
AnonDirName {self.path("cups-pdf-anonymous")}
Log {self.logs}
GSTmp {self.path("spool", "tmp")}
LogType 7
Grp root
"""

    def client_environment(self):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "DBUS_", "SESSION_MANAGER", "KR44_", "CUPS_",
                                    "LC_", "LANG"))
               and k not in ("PRINTER", "LPDEST", "DISPLAY", "WAYLAND_DISPLAY")}
        env.update({
            # Every CUPS client, kr44's print support too, talks to the private scheduler.
            "CUPS_SERVER": self.socket,
            # Keeps the machine's client.conf and lpoptions out: an empty folder.
            "CUPS_SERVERROOT": self.path("client"),
            # ~/.cups/lpoptions could name another default printer.
            "HOME": self.path("home"),
            "XDG_CONFIG_HOME": self.path("config"),
            "XDG_DATA_HOME": self.path("data"),
            "XDG_CACHE_HOME": self.path("cache-xdg"),
            "XDG_RUNTIME_DIR": self.path("runtime"),
            "QT_QPA_PLATFORM": "offscreen",
            # The direct PDF's paper follows the locale: this one measures in metres (A4).
            "LC_ALL": "C.UTF-8",
            "KR44_INSTANCE_NAME": f"print-{os.getpid()}-{uuid.uuid4().hex[:8]}",
        })
        return env

    def lp(self, *command, check_status=True):
        result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=DEADLINE)
        if check_status and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed ({result.returncode}): "
                          f"{result.stdout}{result.stderr}")
        return result

    def log_file(self, name):
        return open(os.path.join(self.logs, name), "ab")

    def tail(self, name, lines=30):
        path = os.path.join(self.logs, name)
        try:
            with open(path, errors="replace") as f:
                text = f.readlines()[-lines:]
        except OSError:
            return ""
        return f"\n--- last lines of {path} ---\n" + "".join(text)

    # --- virtual unit and kr44 ---------------------------------------------------------------

    def start_unit(self, sim):
        link = self.path("unit")
        self.unit = subprocess.Popen(
            [sim, "--quiet", "--link", link], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=self.log_file("kr44-sim.log"), start_new_session=True,
            preexec_fn=die_with_parent)
        # The unit prints its device path once the link is in place.
        ready, _, _ = select.select([self.unit.stdout], [], [], DEADLINE)
        check(ready and self.unit.stdout.readline(), "the virtual unit did not start")
        check(os.path.islink(link), f"the virtual unit made no link at {link}")
        settings = self.path("config", "Quelmark Controls")
        os.makedirs(settings, exist_ok=True)
        with open(os.path.join(settings, "KR44 Demo Program.conf"), "w") as f:
            f.write(f"[Communication]\nCOMPort={link}\n")

    def completed_jobs(self):
        listing = self.lp("lpstat", "-W", "completed", "-o", QUEUE).stdout
        return [line.split()[0] for line in listing.splitlines() if line.strip()]

    def print_with_kr44(self, kr44, program):
        """Runs `kr44 /p program`, waits for its job to complete, ends kr44 and returns the PDF
        cups-pdf wrote."""
        before = set(self.completed_jobs())
        outputs_before = set(glob.glob(os.path.join(self.out, "*.pdf")))
        app = subprocess.Popen(
            [kr44, "/p", program], cwd=self.path("files"), env=self.env,
            stdin=subprocess.DEVNULL, stdout=self.log_file("kr44.log"), stderr=subprocess.STDOUT,
            start_new_session=True, preexec_fn=die_with_parent)
        self.apps.append(app)

        def alive():
            if app.poll() is not None:
                raise Failure(f"kr44 ended with exit code {app.returncode} before its job "
                              f"completed{self.tail('kr44.log')}")
            # A failed filter or backend stops the queue instead of completing the job.
            status = self.lp("lpstat", "-p", QUEUE).stdout
            if "disabled" in status:
                raise Failure(f"the queue stopped: {status}{self.tail('error_log')}")

        try:
            jobs = wait_for(f"kr44's job on {QUEUE} to complete",
                            lambda: (set(self.completed_jobs()) - before) or None, alive=alive)
        except Failure as failure:
            raise Failure(f"{failure}; jobs not completed: "
                          f"{self.lp('lpstat', '-W', 'not-completed', '-o').stdout!r}"
                          f"{self.tail('kr44.log')}{self.tail('error_log')}")
        check(len(jobs) == 1, f"one /p made {len(jobs)} jobs: {sorted(jobs)}")
        job = jobs.pop()
        # An aborted or cancelled job is listed as completed too; the scheduler's log tells.
        job_id = job.rsplit("-", 1)[1]
        with open(os.path.join(self.logs, "error_log"), errors="replace") as f:
            log = f.read()
        check(f"[Job {job_id}] Job completed." in log,
              f"job {job} did not complete successfully{self.tail('error_log', 60)}")
        outputs = set(glob.glob(os.path.join(self.out, "*.pdf"))) - outputs_before
        check(len(outputs) == 1, f"job {job} left {len(outputs)} new PDF files in {self.out}")
        stop_process(app, "kr44")
        self.apps.remove(app)
        print(f"{os.path.basename(program)}: job {job} completed, cups-pdf wrote "
              f"{os.path.basename(next(iter(outputs)))}")
        return outputs.pop()

    def print_direct(self, kr44, program, pdf):
        result = subprocess.run([kr44, f"--print-pdf={pdf}", program], env=self.env,
                                stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                timeout=DEADLINE)
        check(result.returncode == 0 and os.path.isfile(pdf),
              f"kr44 --print-pdf failed ({result.returncode}): {result.stderr}")

    # --- cleanup -----------------------------------------------------------------------------

    def stop(self):
        for app in self.apps:
            stop_process(app, "kr44")
        stop_process(self.unit, "kr44-sim")
        stop_process(self.scheduler, "cupsd")
        if self.queue_conf:
            try:
                os.remove(self.queue_conf)
            except FileNotFoundError:
                pass
        if self.keep:
            print(f"kept {self.tmp}")
        else:
            shutil.rmtree(self.tmp, ignore_errors=True)


def long_program(folder, rows):
    """A program of `rows` lines, long enough for several pages, with a comment and a jump."""
    lines = ["* A long program to print over several pages", "X500,1000,20"]
    lines += ["+200" if i % 2 else "-200" for i in range(rows - 4)]
    lines += ["J2H,2", "K"]
    path = os.path.join(folder, "long-program.krp")
    with open(path, "wb") as f:
        f.write(b"".join(line.encode("latin-1") + b"\r\n" for line in lines))
    return path


def compare_printouts(system, kr44, program, label):
    printed = system.print_with_kr44(kr44, program)
    direct = system.path("files", f"{label}-direct.pdf")
    system.print_direct(kr44, program, direct)

    printed_pages, printed_size = pdf_info(printed)
    direct_pages, direct_size = pdf_info(direct)
    print(f"{label}: cups-pdf {printed_pages} pages of {printed_size} pt, "
          f"direct {direct_pages} pages of {direct_size} pt")
    check(all(abs(a - b) < 1 for a, b in zip(direct_size, A4)),
          f"{label}: the direct PDF is not on A4 but {direct_size} pt")
    check(all(abs(a - b) < 1 for a, b in zip(printed_size, direct_size)),
          f"{label}: cups-pdf's paper {printed_size} pt is not the direct PDF's {direct_size} pt")
    check(printed_pages == direct_pages,
          f"{label}: cups-pdf wrote {printed_pages} pages, the direct PDF has {direct_pages}")

    raster = system.path("files", "raster")
    os.makedirs(raster, exist_ok=True)
    printed_images = render(printed, os.path.join(raster, f"{label}-printed"))
    direct_images = render(direct, os.path.join(raster, f"{label}-direct"))
    check(len(printed_images) == len(direct_images) == direct_pages,
          f"{label}: pdftoppm drew {len(printed_images)} and {len(direct_images)} pages")
    for page, images in enumerate(zip(printed_images, direct_images), start=1):
        compare_pages(*images, f"{label} page {page}")
    return direct_pages


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--kr44", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--program", required=True, help="a program that fits on one page")
    parser.add_argument("--long-rows", type=int, default=250,
                        help="rows of a generated program printed over several pages")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    parser.add_argument("--no-namespace", action="store_true",
                        help="give cups-pdf its settings in /etc/cups even where a mount "
                             "namespace could be made, to try that way")
    args = parser.parse_args()
    kr44 = os.path.abspath(args.kr44)
    sim = os.path.abspath(args.sim)
    program = os.path.abspath(args.program)

    missing = [t for t in TOOLS if shutil.which(t) is None]
    missing += [p for p in (CUPSD, BACKEND) if not os.path.exists(p)]
    ppd = next((p for pattern in PPD_GLOBS for p in sorted(glob.glob(pattern))), None)
    if ppd is None:
        missing.append("the cups-pdf PPD file")
    if missing:
        print(f"SKIP: missing {', '.join(missing)} (scripts/setup.sh installs CUPS, cups-pdf, "
              "poppler-utils and ImageMagick)")
        return SKIP
    if os.geteuid() != 0:
        print("SKIP: the cups-pdf backend runs only under a scheduler started by root; "
              "run this test as root")
        return SKIP

    system = PrintSystem(ppd, args.keep, allow_namespace=not args.no_namespace)
    try:
        system.start()
        system.start_unit(sim)
        pages = compare_printouts(system, kr44, program, "short")
        check(pages == 1, f"{os.path.basename(program)} printed on {pages} pages, not one")
        long_pages = compare_printouts(
            system, kr44, long_program(system.path("files"), args.long_rows), "long")
        check(long_pages >= 3, f"{args.long_rows} rows printed on only {long_pages} pages")
    except Skip as skip:
        print(f"SKIP: {skip}")
        return SKIP
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        system.keep = True
        return 1
    except Exception:
        traceback.print_exc()
        system.keep = True
        return 1
    finally:
        system.stop()
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
