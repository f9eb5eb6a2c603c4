# The ok line of stdoutredi is the first line of the file; replies go there until stdoutback.
stdoutredi out.txt
echo into the file
stdoutredi_append out.txt
echo appended
stdoutback
echo back on standard output
stdoutredi out2.txt
set_end_string DONE
echo second file
# A refused redirection keeps the current output (still out2.txt here).
stdoutredi no_such_dir/x.txt
stdoutredi_append data
echo still in the second file
stdoutback
stdoutback
stdoutredi out2.txt extra
