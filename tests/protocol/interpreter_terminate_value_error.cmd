echo first
get_value missing
echo never
