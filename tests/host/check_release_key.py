"""A build for players never trusts the development key, whose private half lies in this tree:
configuring one with it fails, configuring one with a key of its own succeeds. Configure only."""
import os
import subprocess
import sys
import tempfile

SOURCE = sys.argv[1]


def configure(build, *options):
    return subprocess.run(["cmake", "-S", SOURCE, "-B", build, *options], cwd=SOURCE, capture_output=True,
                          text=True, timeout=600)


def main():
    failures = []
    with tempfile.TemporaryDirectory(prefix="tnvexa-release-key-") as tmp:
        subprocess.run(["bash", os.path.join(SOURCE, "tools", "publisher", "release-key.sh"), "new",
                        os.path.join(tmp, "key")], check=True, capture_output=True, timeout=60)
        own_key = "-DTNVEXA_PUBLISHER_KEY=" + os.path.join(tmp, "key", "publisher.point")
        cases = [  # options, accepted
            (["--preset", "release"], False),
            (["--preset", "win64", "-DCMAKE_BUILD_TYPE=Release"], False),
            (["--preset", "release", own_key], True),
        ]
        for i, (options, accepted) in enumerate(cases):
            result = configure(os.path.join(tmp, f"build{i}"), *options)
            refused = result.returncode != 0 and "development key" in result.stderr
            if accepted != (result.returncode == 0) or (not accepted and not refused):
                failures.append(f"{options}: exit {result.returncode}\n{result.stdout[-2000:]}{result.stderr[-2000:]}")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
