echo first
set_end_string DONE
foo
echo never
