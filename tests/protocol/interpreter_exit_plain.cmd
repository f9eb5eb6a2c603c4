exit
echo never
