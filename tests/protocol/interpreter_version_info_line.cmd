show_version
show_version 2
# the rest of the line is the info text, joined by single blanks; quotes keep their blanks
add_info_line #Board#Qs Jh 2h
add_info_line "#Pot#0  0 100"
add_info_line plain   words   here
add_info_line
show_tree_info
reset_tree_info
show_tree_info
