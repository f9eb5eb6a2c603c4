set_threads 2
#a comment is echoed in magenta
  # so is this one
foo
set_threads abc
set_value v x
echo $v
