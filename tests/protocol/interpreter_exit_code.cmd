echo before
exit 3
echo never
