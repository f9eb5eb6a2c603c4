"""The examples of the READMEs run as written."""
import os
import re
import subprocess
import sys

from conftest import ROOT


def run(command, **options):
    result = subprocess.run(command, cwd=ROOT, capture_output=True, text=True, timeout=120,
                            env=dict(os.environ, PYTHONPATH=str(ROOT / "python")), **options)
    assert result.returncode == 0, result.stderr
    return result.stdout


def test_the_shell_example_of_the_readme_runs(program):
    block = re.search(r"```sh\n(PYTHONPATH=python .*?)```", (ROOT / "README.md").read_text(),
                      re.S)[1]
    output = run(["bash", "-c", block])
    assert "SolveStatus(" in output and "'check'" in output


def test_the_python_example_of_the_client_readme_runs(program):
    block = re.search(r"```python\n(.*?)```", (ROOT / "python" / "README.md").read_text(), re.S)[1]
    output = run([sys.executable, "-c", block])
    assert "'check'" in output and "'call'" in output
