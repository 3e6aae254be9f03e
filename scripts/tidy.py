#!/usr/bin/env python3
"""Runs clang-tidy on source files with a build's compile database, side by side.

It remembers the files it found clean: a file is checked again only when something that
decides its result changed. The key of a result is the hash of clang-tidy's version,
the .clang-tidy files, the file's compile command and the file as the compiler sees it
after preprocessing (so every header it includes, at its content, is part of it).

    scripts/tidy.py BUILD_DIR FILE... [--clang-tidy PROGRAM] [--jobs N]
                    [--cache DIR | --no-cache] [--times FILE]

Prints what clang-tidy says of each file that is not clean and exits 1 if any is not;
ends with the files checked, those found clean before, and the costliest ones.
"""

import argparse
import concurrent.futures
import hashlib
import json
import os
import shlex
import subprocess
import sys
import tempfile


def compile_commands(build_dir):
    """The compile command of each source file, by its absolute path."""
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as db:
        entries = json.load(db)
    commands = {}
    for entry in entries:
        arguments = entry.get("arguments") or shlex.split(entry["command"])
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        commands[path] = (entry["directory"], arguments)
    return commands


def preprocessing_command(arguments):
    """The compile command turned into one that writes the preprocessed file to stdout."""
    command = []
    skip = False
    for argument in arguments:
        if skip:
            skip = False
        elif argument in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif argument in ("-c", "-MD", "-MMD") or argument.startswith("-o"):
            continue
        else:
            command.append(argument)
    return command + ["-E"]


def settings_hash(root, program):
    """clang-tidy's version and every .clang-tidy file of the checkout."""
    digest = hashlib.sha256()
    version = subprocess.run([program, "--version"], capture_output=True, check=True)
    digest.update(version.stdout)
    listed = subprocess.run(["git", "ls-files", "*.clang-tidy", ".clang-tidy"], cwd=root,
                            capture_output=True, text=True, check=True)
    for name in sorted(set(listed.stdout.split())):
        digest.update(name.encode())
        with open(os.path.join(root, name), "rb") as settings:
            digest.update(settings.read())
    return digest.hexdigest()


def result_key(settings, root, directory, arguments):
    """The key of a file's result, or None when it cannot be preprocessed (clang-tidy
    then says why). The checkout's folder is left out of it (the commands and the
    preprocessor's line markers name it), so another checkout of the same code finds
    the results."""
    preprocessed = subprocess.run(preprocessing_command(arguments), cwd=directory,
                                  capture_output=True)
    if preprocessed.returncode != 0:
        return None
    here = root.encode()
    digest = hashlib.sha256(settings.encode())
    digest.update(json.dumps(arguments).encode().replace(here, b"<checkout>"))
    digest.update(preprocessed.stdout.replace(here, b"<checkout>"))
    return digest.hexdigest()


def run_measured(command):
    """(exit status, output, CPU seconds) of a command."""
    with tempfile.TemporaryFile() as output:
        process = subprocess.Popen(command, stdout=output, stderr=subprocess.STDOUT)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        output.seek(0)
        said = output.read().decode(errors="replace")
    return process.returncode, said, usage.ru_utime + usage.ru_stime


def check(path, program, root, build_dir, commands, settings, cache):
    """(path, clean, CPU seconds of clang-tidy, what it said, known clean from the cache)."""
    directory, arguments = commands[path]
    key = result_key(settings, root, directory, arguments) if cache else None
    marker = os.path.join(cache, key) if key else None
    if marker and os.path.exists(marker):
        return path, True, 0.0, "", True
    status, said, seconds = run_measured([program, "-p", build_dir, "--quiet", path])
    clean = status == 0
    if clean and marker:
        with open(marker, "w", encoding="utf-8") as note:
            note.write(path + "\n")
    said = "".join(line + "\n" for line in said.splitlines()
                   if not line.endswith((" warnings generated.", " warning generated.")))
    return path, clean, seconds, said, False


def checked_results(results):
    """The results clang-tidy was run for (not known clean from before)."""
    return [result for result in results if not result[3]]


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build_dir")
    parser.add_argument("files", nargs="+")
    parser.add_argument("--clang-tidy", default="clang-tidy", dest="program",
                        help="the clang-tidy program to run (default: clang-tidy)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--cache", default=None,
                        help="folder of the clean results (default: quorvel/tidy in "
                             "$XDG_CACHE_HOME, else in ~/.cache, kept across checkouts)")
    parser.add_argument("--no-cache", action="store_true",
                        help="check every file, and remember nothing")
    parser.add_argument("--times", help="write each file checked and its CPU seconds there")
    options = parser.parse_args()

    root = os.getcwd()
    build_dir = os.path.abspath(options.build_dir)
    cache = None
    if not options.no_cache:
        cache = options.cache or os.path.join(
            os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "quorvel", "tidy")
        os.makedirs(cache, exist_ok=True)
    commands = compile_commands(build_dir)
    files = [os.path.normpath(os.path.join(root, name)) for name in options.files]
    unknown = [name for name in files if name not in commands]
    if unknown:
        print("clang-tidy: not in the compile database of " + options.build_dir + ": " +
              " ".join(os.path.relpath(name, root) for name in unknown), file=sys.stderr)
        return 1
    settings = settings_hash(root, options.program)

    results = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=options.jobs) as pool:
        futures = [pool.submit(check, name, options.program, root, build_dir, commands, settings,
                               cache)
                   for name in files]
        for future in concurrent.futures.as_completed(futures):
            path, clean, seconds, said, cached = future.result()
            results.append((path, clean, seconds, cached))
            if not clean:
                print("clang-tidy: " + os.path.relpath(path, root) + " is not clean:\n" + said,
                      file=sys.stderr, flush=True)

    if options.times:
        with open(options.times, "w", encoding="utf-8") as times:
            for path, _, seconds, _ in sorted(checked_results(results), key=lambda r: -r[2]):
                times.write("%.1f %s\n" % (seconds, os.path.relpath(path, root)))

    failed = [path for path, clean, _, _ in results if not clean]
    cached = sum(1 for result in results if result[3])
    checked = checked_results(results)
    slowest = sorted(checked, key=lambda result: -result[2])[:5]
    print("clang-tidy: %d files, %d of them clean from before; %.0f s of processor time" %
          (len(results), cached, sum(result[2] for result in checked)))
    if slowest:
        print("  costliest: " + ", ".join("%s %.0f s" % (os.path.relpath(path, root), seconds)
                                        for path, _, seconds, _ in slowest))
    if failed:
        print("clang-tidy: %d files not clean" % len(failed), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
