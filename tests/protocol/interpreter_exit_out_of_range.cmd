exit 99999999999
echo never
