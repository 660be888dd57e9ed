#!/usr/bin/env python3
"""Builds the product archive that the installer carries.

    MakeArchive.py OUTPUT.zip INPUT...

Each INPUT is a file (stored at the archive's root under its own name) or a folder (its
contents stored with their relative paths). A single INPUT that is a .zip archive is
checked and copied as it is. Entries are compressed with Deflate; the installer reads
only stored and Deflate entries, so a ready-made archive using anything else is refused.
"""
import os
import shutil
import sys
import zipfile

READABLE_METHODS = {zipfile.ZIP_STORED: "stored", zipfile.ZIP_DEFLATED: "Deflate"}


def fail(message):
    sys.exit(f"MakeArchive: {message}")


def check_ready_made(path):
    if not zipfile.is_zipfile(path):
        fail(f"{path} is not a ZIP archive")
    with zipfile.ZipFile(path) as archive:
        for entry in archive.infolist():
            if entry.compress_type not in READABLE_METHODS:
                fail(f"{path}: entry {entry.filename!r} uses compression method {entry.compress_type}; "
                     "only stored and Deflate entries can be installed")


def collect(inputs):
    """Archive name -> source path (None for a folder entry), in a stable order."""
    entries = {}

    def add(name, source):
        if name in entries:
            fail(f"two inputs give the archive entry {name!r}")
        entries[name] = source

    for item in inputs:
        if os.path.isdir(item):
            for folder, subfolders, files in os.walk(item):
                subfolders.sort()
                relative = os.path.relpath(folder, item).replace(os.sep, "/")
                prefix = "" if relative == "." else relative + "/"
                if prefix and not files and not subfolders:
                    add(prefix, None)
                for name in sorted(files):
                    add(prefix + name, os.path.join(folder, name))
        elif os.path.isfile(item):
            add(os.path.basename(item), item)
        else:
            fail(f"{item} does not exist")
    if not entries:
        fail("the payload is empty")
    return entries


def main():
    if len(sys.argv) < 3:
        fail("usage: MakeArchive.py OUTPUT.zip INPUT...")
    output, inputs = sys.argv[1], sys.argv[2:]
    partial = output + ".partial"
    if len(inputs) == 1 and os.path.isfile(inputs[0]) and inputs[0].lower().endswith(".zip"):
        check_ready_made(inputs[0])
        shutil.copyfile(inputs[0], partial)
    else:
        entries = collect(inputs)
        # Times before 1980 cannot be stored and become 1980-01-01.
        with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9,
                             strict_timestamps=False) as archive:
            for name, source in entries.items():
                if source is None:
                    archive.writestr(zipfile.ZipInfo(name), b"")
                else:
                    archive.write(source, name)
    # Replaced in one step, so a failed build never leaves half an archive behind.
    os.replace(partial, output)


if __name__ == "__main__":
    main()
