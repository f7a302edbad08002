"""A build for players refuses the development key and takes a key of its own (configures only)."""
import os
import subprocess
import sys
import tempfile

SOURCE = sys.argv[1]
with tempfile.TemporaryDirectory() as tmp:
    subprocess.run(["bash", f"{SOURCE}/tools/publisher/release-key.sh", "new", tmp], check=True, capture_output=True)
    failed = False
    own_key = f"-DTNVEXA_PUBLISHER_KEY={tmp}/publisher.point"
    for i, (options, accepted) in enumerate([(["--preset", "release"], False), (["--preset", "release", own_key], True),
                                             (["--preset", "win64", "-DCMAKE_BUILD_TYPE=Release"], False)]):
        run = subprocess.run(["cmake", "-S", SOURCE, "-B", os.path.join(tmp, str(i)), *options], cwd=SOURCE,
                             capture_output=True, text=True, timeout=600)
        if (run.returncode == 0) != accepted or (not accepted and "development key" not in run.stderr):
            failed = True
            print(options, run.returncode, run.stdout[-1500:], run.stderr[-1500:])
sys.exit(1 if failed else 0)
