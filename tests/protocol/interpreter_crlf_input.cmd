echo first
echo second

echo "third"echo fourth

echo last without newline