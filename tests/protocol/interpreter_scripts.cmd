# Scripts nest; each line's reply is written as it runs; errors inside a script do not stop it.
load_script data/interpreter_outer.txt
# Paths with blanks are quoted; a missing file is an error unless if_exists is given.
load_script "data/no such file.txt"
load_script "data/no such file.txt" if_exists
load_script
# A directory cannot be opened as a script.
load_script data
# CR LF line ends, a blank line and a last line without newline.
load_script data/interpreter_crlf.txt
# Valid UTF-8 and a leading byte-order mark are fine; invalid bytes end the script at that line.
load_script data/interpreter_utf8.txt
load_script data/interpreter_bad_utf8.txt
# A conditional skip left open by a script goes on after it.
load_script data/interpreter_open_if.txt
echo skipped after the script
end_if
echo resumed
# A script that loads itself ends with an error instead of exhausting the stack.
load_script data/interpreter_self.txt
echo still running
