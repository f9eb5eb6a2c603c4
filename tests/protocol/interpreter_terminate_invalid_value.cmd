echo first
set_threads abc
echo never
