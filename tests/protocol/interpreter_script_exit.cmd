echo before the script
load_script data/interpreter_exit.txt
echo never
