#!/usr/bin/python3
"""`kr44 /p FILE` through a private CUPS scheduler onto a cups-pdf queue: each page must match, as
an image, the page `kr44 --print-pdf` prints. Then Print Setup chooses a second queue, and Print
must print there. Needs root, as the cups-pdf backend does."""

import glob
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from kr44e2e import DEADLINE, Private, Skip, check, crlf, outcome, require, wait_for  # noqa

CUPSD = "/usr/sbin/cupsd"
PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
# Pages drawn at 300 dpi and blurred (Gaussian, sigma 1 pixel) may differ nowhere by more than
# MAX_PEAK of the grey range. cups-pdf turns the text into Type 3 glyphs, drawn without the
# smoothing of the direct PDF's TrueType glyphs. Measured on the demo printed with each digit 0-9
# as a loop count, both ways, and a 4-page program: the same pages peak at 0.44 at most, pages
# with different digits (all 90 pairs) at 0.75 at least, with a line left out at 0.96.
MAX_PEAK = 0.6


def render(pdf, prefix):
    subprocess.run(["pdftoppm", "-q", "-r", "300", "-gray", pdf, prefix], check=True)
    return sorted(glob.glob(f"{prefix}-*.pgm"))


def peak_difference(a, b):
    blurred = subprocess.run(["convert", a, b, "-blur", "0x1", "miff:-"], check=True,
                             capture_output=True).stdout
    result = subprocess.run(["compare", "-metric", "PAE", "-", "null:"], input=blurred,
                            capture_output=True)  # exit code 2: pages of different sizes
    check(result.returncode < 2, f"compare {a} {b}: {result.stderr.decode()}")
    return float(re.search(rb"\(([0-9.e-]+)\)", result.stderr)[1])


class PrintSystem(Private):
    """A private CUPS scheduler with two cups-pdf queues, the first its default printer, writing
    into out/ and out-b/. cups-pdf reads its settings from /etc/cups: each queue has a file of its
    own there while the test runs."""

    def start_scheduler(self):
        self.env.update(CUPS_SERVER=self.path("cups.sock"), CUPS_SERVERROOT=self.path("client/"),
                        QT_QPA_PLATFORM="offscreen")  # no client.conf or lpoptions of the machine
        files = {"ServerRoot": "etc/", "StateDir": "run/", "CacheDir": "cache-cups/",
                 "RequestRoot": "spool/", "TempDir": "spool/tmp/", "ErrorLog": "log/error_log",
                 "AccessLog": "log/access_log", "PageLog": "log/page_log", "Printcap": "run/pcap"}
        os.chmod(self.path("spool/tmp/"), 0o1777)
        self.queue, self.settings = f"kr44test-{os.getpid()}", []
        for path, text in (
                (self.path("etc/cups-files.conf"), "".join(
                    f"{k} {self.path(v)}\n" for k, v in files.items()) + "SystemGroup root\n"),
                (self.path("etc/cupsd.conf"), f"LogLevel debug\nListen {self.env['CUPS_SERVER']}"
                 "\nBrowsing No\nDefaultAuthType None\n<Policy default>\nJobPrivateValues none"
                 "\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n")):
            with open(path, "w") as f:
                f.write(text)
        cupsd = self.start([CUPSD, "-f", "-c", self.path("etc/cupsd.conf"), "-s",
                            self.path("etc/cups-files.conf")], stdout=self.log("cupsd.out"))
        wait_for("the scheduler", lambda: self.lp("lpstat", "-r") == "scheduler is running\n",
                 alive=lambda: check(cupsd.poll() is None, "cupsd ended"))
        for queue, out in ((self.queue, "out/"), (self.queue + "-b", "out-b/")):
            self.settings.append(f"/etc/cups/cups-pdf-{queue}.conf")
            with open(self.settings[-1], "w") as f:
                f.write(f"Out {self.path(out)}\nSpool {self.path('cups-pdf/')}\nLog "
                        f"{self.path('log/')}\nGSTmp {self.path('spool/tmp/')}\nGrp root\n")
            self.lp("lpadmin", "-p", queue, "-E", "-v", f"cups-pdf:/{queue}", "-P", PPD)
        self.lp("lpadmin", "-d", self.queue)

    def lp(self, *command):
        return subprocess.run(command, env=self.env, check=True, stdout=subprocess.PIPE,
                              text=True, timeout=DEADLINE).stdout

    def direct(self, kr44, program, label):
        """Prints a program with --print-pdf; returns the page images."""
        subprocess.run([kr44, f"--print-pdf={self.path(label + '.pdf')}", program], env=self.env,
                       check=True, timeout=DEADLINE)
        return render(self.path(label + ".pdf"), self.path(f"raster/{label}-direct"))

    def printed(self, kr44, program, label):
        """Prints a program with /p through the scheduler; returns the page images."""
        app = self.start([kr44, "--virtual-unit", "/p", program], stdout=self.log("kr44.log"),
                         stderr=subprocess.STDOUT)
        # Done when cups-pdf has written a PDF and no job is left.
        pdfs = wait_for("the job", lambda: not self.lp("lpstat", "-o") and glob.glob(
            self.path("out/*.pdf")))
        self.stop(app)
        check(len(pdfs) == 1, f"the job left {len(pdfs)} PDF files")
        os.rename(pdfs[0], self.path(f"{label}-cups.pdf"))
        return render(self.path(f"{label}-cups.pdf"), self.path(f"raster/{label}-cups"))

    def compare(self, kr44, program, label):
        printed, direct = self.printed(kr44, program, label), self.direct(kr44, program, label)
        peaks = [peak_difference(a, b) for a, b in zip(printed, direct)]
        print(f"{label}: {len(printed)} pages printed, {len(direct)} direct, peaks {peaks}")
        check(len(printed) == len(direct) and max(peaks, default=1) <= MAX_PEAK,
              f"{label}: the pages differ")
        return printed

    def close(self, keep):
        super().close(keep)
        for settings in getattr(self, "settings", []):
            if os.path.exists(settings):
                os.remove(settings)


def demo(system, folder, digit):
    return system.write(f"{folder}/demo.krp", crlf("X500,1000,20", "L0", "+200", "W1H", "-200",
                                                  f"L{digit}", "J2H,2", "K", "* out and back"))


def print_after_setup(system, tests):
    """Print Setup chooses the second queue, Letter and landscape (in TestPrintSetup, which also
    checks Print Preview): the job must come out of that queue only, on Letter."""
    result = subprocess.run([tests, "TestPrintSetup"], env=dict(system.env, KR44_PRINT_QUEUE=(
        system.queue + "-b")), capture_output=True, text=True, timeout=DEADLINE)
    check(result.returncode == 0, f"TestPrintSetup failed:\n{result.stdout}{result.stderr}")
    pdfs = wait_for("the job", lambda: not system.lp("lpstat", "-o") and glob.glob(
        system.path("out*/*.pdf")))
    check(pdfs == glob.glob(system.path("out-b/*.pdf")), f"printed {pdfs}, not on the second queue")
    info = subprocess.run(["pdfinfo", pdfs[0]], check=True, capture_output=True, text=True).stdout
    check(re.search(r"Page size: +612 x 792 pts", info), f"not on Letter:\n{info}")


def run(system, kr44, tests):
    require(("lpadmin", "lpstat", "pdftoppm", "pdfinfo", "convert", "compare"),
            (CUPSD, "/usr/lib/cups/backend/cups-pdf", PPD))
    if os.geteuid() != 0:
        raise Skip("the cups-pdf backend runs only under a scheduler started by root")
    system.start_scheduler()
    short = system.compare(kr44, demo(system, "short", 6), "short")
    check(len(short) == 1, f"the demo printed on {len(short)} pages, not one")
    # The same program with L0 for L6, the closest pair of digits measured, must not pass.
    peak = peak_difference(short[0], system.direct(kr44, demo(system, "changed", 0), "changed")[0])
    print(f"one digit changed: peak {peak}")
    check(peak > MAX_PEAK, "a page with one digit changed passes the comparison")
    long = system.write("long.krp", crlf("* printed over several pages", "X500,1000,20",
                                         *["+200", "-200"] * 123, "J2H,2", "K"))
    check(len(system.compare(kr44, long, "long")) >= 3, "250 rows on fewer than 3 pages")
    print_after_setup(system, tests)


def main():
    system = PrintSystem("print")
    return outcome(lambda: run(system, *map(os.path.abspath, sys.argv[1:3])), system.close)


if __name__ == "__main__":
    sys.exit(main())
