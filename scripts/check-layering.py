#!/usr/bin/env python3
"""Checks that the sources keep to their layers; ctest runs it (tests/CMakeLists.txt).

    python3 scripts/check-layering.py ROOT

ROOT is the repository (or a tree laid out like it). Every ROOT/src/**/*.{h,cpp}
is read, and each include that breaks a layer is printed as
`src/<file>:<line>: includes X, ...`; the exit status is 1 when there is one.

Two rules:
- The POSIX and Windows API headers (<unistd.h>, <sys/...>, <windows.h>, ...)
  are included in src/platform alone, which hides what differs between the
  systems; the C and C++ standard headers and the libraries' own are free.
- A module, src/<module>/, includes another one only when the build links it:
  declared in its fc_module(<module> DEPS ...) line, or linked by the
  targets its own CMakeLists.txt makes (src/cli, src/gui), directly or through
  what those link in turn (the core's links are all public).
"""

import re
import sys
from pathlib import Path

POSIX_HEADERS = {
    "aio.h", "cpio.h", "dirent.h", "dlfcn.h", "fcntl.h", "fmtmsg.h", "fnmatch.h", "ftw.h", "glob.h",
    "grp.h", "iconv.h", "langinfo.h", "libgen.h", "monetary.h", "mqueue.h", "ndbm.h", "netdb.h",
    "nl_types.h", "poll.h", "pthread.h", "pwd.h", "regex.h", "sched.h", "search.h", "semaphore.h",
    "spawn.h", "strings.h", "stropts.h", "syslog.h", "tar.h", "termios.h", "trace.h", "ulimit.h",
    "unistd.h", "utime.h", "utmpx.h", "wordexp.h",
    "alloca.h", "byteswap.h", "endian.h", "err.h", "execinfo.h", "features.h", "malloc.h", "mntent.h",
    "pty.h", "shadow.h",
}
POSIX_FOLDERS = ("sys/", "arpa/", "net/", "netinet/", "linux/", "asm/")
WINDOWS_HEADERS = {
    "bcrypt.h", "commctrl.h", "conio.h", "dbghelp.h", "direct.h", "io.h", "knownfolders.h",
    "lmcons.h", "ntstatus.h", "objbase.h", "process.h", "sddl.h", "share.h", "shlobj.h",
    "shlwapi.h", "tlhelp32.h", "userenv.h",
}
# windows.h, winsock2.h, winbase.h, ...; fileapi.h, aclapi.h, shellapi.h, ...
WINDOWS_PATTERN = re.compile(r"(win\w*|\w+api)\.h")

INCLUDE = re.compile(r'\s*#\s*include\s*([<"])([^>"]+)[>"]')
COMMAND = re.compile(r"\b(fc_module|target_link_libraries|add_library|add_executable)\s*\(([^)]*)\)")
SCOPES = {"PUBLIC", "PRIVATE", "INTERFACE"}
SOURCE_SUFFIXES = {".h", ".cpp"}


def is_system_header(name):
    name = name.lower()
    return (name in POSIX_HEADERS or name.startswith(POSIX_FOLDERS) or name in WINDOWS_HEADERS
            or WINDOWS_PATTERN.fullmatch(name) is not None)


def commands(cmake_file):
    """The (command, arguments) of the commands that make and link targets."""
    text = "\n".join(line.split("#", 1)[0] for line in cmake_file.read_text(encoding="utf-8").splitlines())
    for match in COMMAND.finditer(text):
        yield match.group(1), match.group(2).split()


def read_build(src):
    """Which targets each folder of src makes, and what each target links."""
    made, links = {}, {}
    for cmake_file in sorted(src.rglob("CMakeLists.txt")):
        here = cmake_file.parent.relative_to(src).parts[:1]  # none for src itself
        for command, args in commands(cmake_file):
            if not args or "$" in args[0]:
                continue
            folder = here
            if command == "fc_module":  # fc_module(<name> DEPS ... [EXCLUDE ...])
                target, folder = "fc_" + args[0], (args[0],)
                args = args[2:args.index("EXCLUDE")] if "EXCLUDE" in args else args[2:]
            else:
                target, args = args[0], args[1:]
            if command in ("fc_module", "add_library", "add_executable") and folder:
                made.setdefault(folder[0], set()).add(target)
            if command in ("fc_module", "target_link_libraries"):
                links.setdefault(target, set()).update(a for a in args if a not in SCOPES and "$" not in a)
    return made, links


def allowed_modules(made, links):
    """For each module, the modules it may include: itself and those its targets reach."""
    owner = {target: module for module, targets in made.items() for target in targets}
    allowed = {}
    for module, targets in made.items():
        reached, todo = set(), list(targets)
        while todo:
            target = todo.pop()
            if target not in reached:
                reached.add(target)
                todo.extend(links.get(target, ()))
        allowed[module] = {owner[t] for t in reached if t in owner} | {module}
    return allowed


def offences(root):
    src = root / "src"
    made, links = read_build(src)
    allowed = allowed_modules(made, links)
    folders = {p.name for p in src.iterdir() if p.is_dir()}
    for source in sorted(p for p in src.rglob("*") if p.suffix in SOURCE_SUFFIXES and p.is_file()):
        module = source.relative_to(src).parts[0]
        shown = source.relative_to(root).as_posix()
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, name = match.groups()
            if bracket == "<" and module != "platform" and is_system_header(name):
                yield f"{shown}:{number}: includes <{name}>, a system header outside src/platform"
            used = name.split("/", 1)[0]
            if "/" in name and used in folders and used not in allowed.get(module, {module}):
                yield f"{shown}:{number}: includes {name}, not a dependency of {module}"


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} ROOT", file=sys.stderr)
        return 2
    found = list(offences(Path(argv[1])))
    for offence in found:
        print(offence)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
