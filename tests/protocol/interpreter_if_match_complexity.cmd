# A search that would backtrack exponentially ends with an error instead of hanging; the lines
# after it run, and a plain pattern still works.
if_match aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab "^(a|a)*\1$"
echo after the hostile pattern
if_match aaab "^(a|a)*b$"
echo matched
end_if
if_match aaab "^(a)\1\1b$"
echo back-reference matched
end_if
