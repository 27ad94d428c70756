"""The README's shell commands as the tests that run them read them: the lines of each ```sh
block, a line that ends in a backslash joined with the next, comment lines and trailing
"# comments" left out, and runs of blanks made one."""
import re


def sh_blocks(text):
    """The commands of each ```sh block of text, block by block."""
    blocks = []
    for block in re.findall(r"^```sh\n(.*?)^```", text, re.S | re.M):
        commands = []
        for line in block.replace("\\\n", " ").splitlines():
            if line.lstrip().startswith("#"):
                continue
            command = " ".join(re.sub(r"\s+#.*$", "", line).split())
            if command:
                commands.append(command)
        blocks.append(commands)
    return blocks
