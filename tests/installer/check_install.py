#!/usr/bin/env python3
"""Checks what Vestrano's setup program made in a Wine prefix, by reading the prefix itself: its
registry files (user.reg, system.reg; saved whenever the prefix's wineserver stops) and its drive C.

  snapshot PREFIX FILE            records every registry key and file, before anything is installed
  installed PREFIX MODE ARCH ...  checks an installation: files, registration in each view, entry
  unix-path PREFIX PATH           prints where a Windows path C:\... is in the prefix
  uninstall-command PREFIX MODE   prints the quiet uninstall command that the entry gives Windows,
                                  the program and each argument on a line of its own
  left PREFIX FILE SETTINGS       checks that nothing made since the snapshot is left, except the
                                  user's settings key when SETTINGS is "kept"

MODE is "user" or "machine", ARCH the prefix's Windows, "64" or "32". Exits 1 with the reasons
when a check fails."""

import argparse
import json
import os
import re
import sys

ADDIN_CLSID = "{E97D5E8A-D225-4BF9-9877-C78A39ED3FD2}"
TAB_STRIP_CLSID = "{4B516A82-9537-463A-ABEE-31811B641E99}"
ADDIN_PROGID = "ExcelOrlendix.Vestranov3"
TAB_STRIP_PROGID = "Zandrelix.TabStrip"
SETTINGS_KEY = r"HKCU\Software\Microsoft\Shared Tools\Vestrano"
UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall\Vestrano"
FILES = ("Vestrano.dll", "Zandrelix.ocx")

# What registration writes, relative to Software\ of one view: the two classes, their ProgIDs
# and Excel's add-in record. The type library is left out: the add-in's registration makes it when
# it can (never on Windows XP), Excel does not need it, and the machine-wide installation does not
# register it.
REGISTRATION_KEYS = (
    "Classes\\CLSID\\" + ADDIN_CLSID,
    "Classes\\CLSID\\" + TAB_STRIP_CLSID,
    "Classes\\" + ADDIN_PROGID,
    "Classes\\" + TAB_STRIP_PROGID,
    "Microsoft\\Office\\Excel\\Addins\\" + ADDIN_PROGID,
)
TYPE_LIBRARY_SUBKEY = ("Classes\\CLSID\\" + ADDIN_CLSID + "\\TypeLib").lower()

# Keys that Wine itself adds as programs run (its own bookkeeping, never the setup's).
WINE_OWN_KEYS = re.compile(
    r"^HK(CU|LM)\\Software\\(Wow6432Node\\)?Wine\\"
    r"|^HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
    r"|^HKCU\\Control Panel\\International\\"
    r"|^HKLM\\System\\",
    re.IGNORECASE,
)
# Containers that belong to Windows and Office, which registration (or the add-in's settings) create
# when they are not there yet and, like every installer, never remove (another program may be using
# them): allowed to stay only empty.
SHARED_CONTAINERS = re.compile(
    r"^HK(CU|LM)\\Software\\(Wow6432Node\\)?(Classes\\(Wow6432Node\\)?CLSID"
    r"|Microsoft\\Office\\Excel\\Addins|Microsoft\\Windows\\CurrentVersion\\Uninstall"
    r"|Microsoft\\Shared Tools)$",
    re.IGNORECASE,
)
# Files that Wine or a closed program leaves in the temporary folders and the system's caches.
WINE_OWN_FILES = re.compile(
    r"^(users/[^/]+/(Temp|AppData/Local/Temp)/|windows/temp/)", re.IGNORECASE
)


def unescape(text):
    r"""Wine's escapes in registry files: \\, \", \n, \t, \0 and \xHHHH."""
    special = {"n": "\n", "t": "\t", "0": "\0"}

    def one(match):
        escaped = match.group(1)
        return chr(int(escaped[1:], 16)) if len(escaped) > 1 else special.get(escaped, escaped)

    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", one, text)


def parse_value(raw):
    if raw.startswith('"'):
        return unescape(raw[1 : raw.rindex('"')])
    if raw.startswith("dword:"):
        return int(raw[6:], 16)
    if raw.startswith('str(2):"'):
        return unescape(raw[8 : raw.rindex('"')])
    return raw


def read_registry(prefix):
    """HKLM and HKCU as {lower-case key path: (key path, {lower-case name: (name, value)})}."""
    keys = {}
    for root, name in (("HKLM", "system.reg"), ("HKCU", "user.reg")):
        current = None
        with open(os.path.join(prefix, name), encoding="utf-8", errors="replace") as reg:
            for line in reg:
                line = line.rstrip("\n")
                if line.startswith("["):
                    path = root + "\\" + unescape(line[1 : line.rindex("]")])
                    current = keys.setdefault(path.lower(), (path, {}))[1]
                elif current is not None and (line.startswith('"') or line.startswith("@=")):
                    if line.startswith("@="):
                        value_name, raw = "", line[2:]
                    else:
                        end = 1
                        while line[end] != '"':
                            end += 2 if line[end] == "\\" else 1
                        value_name, raw = unescape(line[1:end]), line[end + 2 :]
                    current[value_name.lower()] = (value_name, parse_value(raw))
    return keys


def list_files(prefix):
    """Every file and folder on drive C, folders with a trailing slash."""
    drive = os.path.join(prefix, "drive_c")
    found = []
    for folder, folders, names in os.walk(drive):
        found += [os.path.relpath(os.path.join(folder, name), drive) + "/" for name in folders]
        found += [os.path.relpath(os.path.join(folder, name), drive) for name in names]
    return found


def unix_path(prefix, windows_path):
    """C:\\... in the prefix, matching each part's letter case as Wine does."""
    path = os.path.join(prefix, "drive_c")
    for part in windows_path.split("\\")[1:]:
        names = os.listdir(path) if os.path.isdir(path) else []
        match = [name for name in names if name.lower() == part.lower()]
        path = os.path.join(path, match[0] if match else part)
    return path


class Checks:
    def __init__(self):
        self.failures = []
        self.passed = 0

    def expect(self, ok, what):
        if ok:
            self.passed += 1
        else:
            self.failures.append(what)

    def finish(self, title):
        """Silent when every check held."""
        if not self.failures:
            return
        for failure in self.failures:
            print(f"check-install: FAIL: {failure}")
        print(f"check-install: {title}: {self.passed} passed, {len(self.failures)} failed")
        sys.exit(1)


def views(arch):
    """Software\\ of each registry view, with the folder of the files that view's Excel loads."""
    if arch == "64":
        return [("Software\\", "x64"), ("Software\\Wow6432Node\\", "x86")]
    return [("Software\\", "x86")]


def view_key(view, relative):
    # In the classes only CLSID has a 32-bit view of its own (Software\Classes\Wow6432Node\CLSID);
    # ProgIDs are shared, as on Windows 7 and later.
    if not view.endswith("Wow6432Node\\") or not relative.startswith("Classes\\"):
        return view + relative
    if relative.startswith("Classes\\CLSID\\"):
        return "Software\\Classes\\Wow6432Node\\" + relative[len("Classes\\") :]
    return "Software\\" + relative


def registration(registry, root, view, install_dir):
    """The registration's keys in one view, paths made relative to the installation folder."""
    found = {}
    for relative in REGISTRATION_KEYS:
        base = (root + "\\" + view_key(view, relative)).lower()
        for lower, (path, values) in registry.items():
            if lower != base and not lower.startswith(base + "\\"):
                continue
            sub = relative + path[len(base) :]
            if sub.lower().startswith(TYPE_LIBRARY_SUBKEY):
                continue
            found[sub] = {
                name: (value.replace(install_dir, "<folder>") if isinstance(value, str) else value)
                for _, (name, value) in values.items()
            }
    return found


def uninstall_entry(registry, mode):
    root = "HKCU" if mode == "user" else "HKLM"
    for view in ("Software\\", "Software\\Wow6432Node\\"):
        entry = registry.get((root + "\\" + view + UNINSTALL).lower())
        if entry:
            return {name: value for name, value in entry[1].values()}
    return None


def check_installed(args):
    checks = Checks()
    registry = read_registry(args.prefix)
    entry = uninstall_entry(registry, args.mode)
    checks.expect(entry is not None, f"no uninstall entry for the {args.mode} installation")
    if entry is None:
        checks.finish("installed")
    install_dir = entry.get("InstallLocation", "")
    wanted = (
        r"C:\\users\\[^\\]+\\AppData\\Local\\Programs\\Vestrano"
        if args.mode == "user"
        else r"C:\\Program Files\\Vestrano"
    )
    checks.expect(re.fullmatch(wanted, install_dir, re.IGNORECASE), f"installed in {install_dir!r}")
    for name, want in (
        ("DisplayName", "Vestrano"),
        ("DisplayVersion", args.version),
        ("Publisher", "Vestrano"),
        ("UninstallString", f'"{install_dir}\\Uninstall.exe"'),
        ("QuietUninstallString", f'"{install_dir}\\Uninstall.exe" /S'),
    ):
        got = entry.get(name)
        checks.expect(got == want, f"uninstall entry {name} is {got!r}, not {want!r}")

    # The files of each bitness the prefix's Windows runs, byte for byte the packaged ones.
    folders = [folder for _, folder in views(args.arch)]
    total = 0
    for folder in ("x86", "x64"):
        source = args.files32 if folder == "x86" else args.files64
        for name in FILES:
            path = unix_path(args.prefix, f"{install_dir}\\{folder}\\{name}")
            if folder not in folders:
                checks.expect(not os.path.exists(path), f"{folder}\\{name} on 32-bit Windows")
                continue
            with open(os.path.join(source, name), "rb") as packaged:
                same = os.path.isfile(path) and open(path, "rb").read() == packaged.read()
            checks.expect(same, f"{folder}\\{name} is not the packaged file")
            total += os.path.getsize(path) if os.path.isfile(path) else 0
    uninstaller = unix_path(args.prefix, install_dir + "\\Uninstall.exe")
    checks.expect(os.path.isfile(uninstaller), "no Uninstall.exe")
    total += os.path.getsize(uninstaller) if os.path.isfile(uninstaller) else 0
    size = entry.get("EstimatedSize")
    checks.expect(
        isinstance(size, int) and abs(size - total // 1024) <= 8,
        f"uninstall entry EstimatedSize {size} KB for {total // 1024} KB of files",
    )

    # Registration, in the view of each bitness. Wine keeps one view of HKCU\Software\Classes, so
    # per user the classes there name one bitness's files; its regsvr32 runs elevated, and then
    # the add-in's registration writes its class to HKLM as well, in the view of the DLL's own
    # bitness, which shows that each bitness's regsvr32 registered its own DLL.
    if args.mode == "user":
        user = registration(registry, "HKCU", "Software\\", install_dir)
        for relative in REGISTRATION_KEYS:
            present = any(key == relative or key.startswith(relative + "\\") for key in user)
            checks.expect(present, f"per-user registration lacks HKCU\\Software\\{relative}")
        for view, folder in views(args.arch):
            key = view_key(view, f"Classes\\CLSID\\{ADDIN_CLSID}\\InprocServer32")
            server = registry.get(("HKLM\\" + key).lower())
            named = server[1].get("", (None, None))[1] if server else None
            want = f"{install_dir}\\{folder}\\Vestrano.dll"
            checks.expect(named == want, f"the {folder} view's class names {named!r}, not {want!r}")
        with open(args.keys, "w", encoding="utf-8") as out:
            json.dump(normalize_bitness(user), out, indent=1, sort_keys=True)
    else:
        with open(args.keys, encoding="utf-8") as saved:
            by_regsvr32 = json.load(saved)
        for view, folder in views(args.arch):
            machine = normalize_bitness(registration(registry, "HKLM", view, install_dir), folder)
            checks.expect(
                machine == by_regsvr32,
                f"HKLM\\{view} holds other keys than regsvr32 writes:\n"
                + json.dumps({"setup": machine, "regsvr32": by_regsvr32}, indent=1, sort_keys=True),
            )
        user = registration(registry, "HKCU", "Software\\", install_dir)
        checks.expect(not user, f"the machine-wide setup wrote per-user keys: {sorted(user)}")
    checks.finish(f"{args.mode} installation in the {args.arch}-bit prefix")


def normalize_bitness(keys, folder=None):
    """Paths of either bitness's folder as <bits>; with `folder`, only that one's."""
    pattern = re.escape("<folder>\\") + (folder or "(x86|x64)") + re.escape("\\")

    def normal(value):
        return re.sub(pattern, r"<folder>\\<bits>\\", value) if isinstance(value, str) else value

    return {
        key: {name: normal(value) for name, value in values.items()} for key, values in keys.items()
    }


def snapshot(args):
    registry = read_registry(args.prefix)
    with open(args.file, "w", encoding="utf-8") as out:
        json.dump({"keys": sorted(registry), "files": sorted(list_files(args.prefix))}, out)


def subkeys(registry, lower):
    return [key for key in registry if key.startswith(lower + "\\")]


def check_left(args):
    checks = Checks()
    with open(args.file, encoding="utf-8") as saved:
        before = json.load(saved)
    registry = read_registry(args.prefix)
    settings = SETTINGS_KEY.lower()
    known = set(before["keys"])
    new_keys = sorted(
        path
        for lower, (path, values) in registry.items()
        if lower not in known
        and lower != settings
        and not WINE_OWN_KEYS.search(path)
        and not (SHARED_CONTAINERS.search(path) and not values and not subkeys(registry, lower))
    )
    checks.expect(not new_keys, "keys left behind: " + ", ".join(new_keys))
    new_files = sorted(
        name
        for name in set(list_files(args.prefix)) - set(before["files"])
        if not WINE_OWN_FILES.search(name)
    )
    checks.expect(not new_files, "files or folders left behind: " + ", ".join(new_files))
    kept = registry.get(settings)
    if args.settings == "kept":
        position = kept[1].get("position", (None, None))[1] if kept else None
        checks.expect(position == 1, f"settings not kept: {SETTINGS_KEY} Position = {position}")
    else:
        checks.expect(kept is None, f"{SETTINGS_KEY} was not removed")
    checks.finish(f"after the uninstall (settings {args.settings})")


def print_uninstall_command(args):
    entry = uninstall_entry(read_registry(args.prefix), args.mode)
    if not entry:
        sys.exit(f"check-install: no uninstall entry for the {args.mode} installation")
    quiet = entry.get("QuietUninstallString", "")
    command = re.fullmatch(r'"([^"]+)"((?: \S+)*)', quiet)
    if not command:
        sys.exit(f"check-install: the quiet uninstall command {quiet!r} is malformed")
    print("\n".join([command.group(1)] + command.group(2).split()))


def print_unix_path(args):
    print(unix_path(args.prefix, args.path))


def main():
    sys.stdout.reconfigure(errors="backslashreplace")
    parser = argparse.ArgumentParser(
        description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter
    )
    commands = parser.add_subparsers(dest="command", required=True)
    command = commands.add_parser("snapshot")
    command.add_argument("prefix")
    command.add_argument("file")
    command.set_defaults(run=snapshot)
    command = commands.add_parser("installed")
    command.add_argument("prefix")
    command.add_argument("mode", choices=("user", "machine"))
    command.add_argument("arch", choices=("64", "32"))
    command.add_argument("--version", required=True)
    command.add_argument("--files32", required=True)
    command.add_argument("--files64", required=True)
    command.add_argument(
        "--keys", required=True, help="per user: where to save regsvr32's keys; else: read them"
    )
    command.set_defaults(run=check_installed)
    command = commands.add_parser("unix-path")
    command.add_argument("prefix")
    command.add_argument("path")
    command.set_defaults(run=print_unix_path)
    command = commands.add_parser("uninstall-command")
    command.add_argument("prefix")
    command.add_argument("mode", choices=("user", "machine"))
    command.set_defaults(run=print_uninstall_command)
    command = commands.add_parser("left")
    command.add_argument("prefix")
    command.add_argument("file")
    command.add_argument("settings", choices=("kept", "removed"))
    command.set_defaults(run=check_left)
    args = parser.parse_args()
    args.run(args)


if __name__ == "__main__":
    main()
