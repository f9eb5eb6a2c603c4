# Blanks: before, between (several) and after the words; a tab belongs to its token.
   echo   a    b   
echo a	b
# Quotes keep blanks; text before a quote joins it; text after a closing quote starts a new token.
echo "a  b" c
echo a"b c"d
echo "x""y"
# An empty pair of quotes is no token at all, so echo has no argument here.
echo ""
echo "" z
# An unclosed quote runs to the end of the line, blanks included.
echo "open quote  
# A line of blanks does nothing, not even an error.
      
# The command word may be quoted too.
"echo" quoted word
# Command words are case-sensitive and whole.
Echo x
echo_ x
