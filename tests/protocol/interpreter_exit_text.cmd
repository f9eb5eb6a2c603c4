exit x
echo never
