# Label lines are consumed silently when no label is sought.
LABEL: nowhere
# LABEL: alone is not a label line.
LABEL:
# if_match searches anywhere in the text (ECMAScript grammar).
if_match abc b
echo found b
end_if
if_match abc z
echo skipped
if_match abc a
echo still skipped: an if_match inside a skipped stretch is itself skipped
end_if
echo after the first end_if
# end_if without if_match does nothing visible.
end_if
if_match AhKs "^A[hd]K"
echo anchored class matched
end_if
if_match 2022-01-07 "^\d{4}-\d\d-\d\d$"
echo date matched
end_if
# An invalid pattern is an error carrying the library's message and skips nothing.
if_match abc "("
echo after invalid pattern
# skip_if_done with a missing file searches no label.
skip_if_done data/interpreter_missing.txt done
echo not skipped
# With an existing file, every line up to the label is skipped, end_if and other labels included.
skip_if_done data/interpreter_inner.txt done
echo skipped by label search
if_match a a
end_if
LABEL: other
LABEL: done
echo after label
# A directory does not count as done.
skip_if_done data done
echo directory ignored
# Comments: a first word beginning with # skips the line, with or without a blank after it.
#set_threads 4
# set_threads 4
