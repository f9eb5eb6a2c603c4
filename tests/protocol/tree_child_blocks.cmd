# Every child block of show_children ends with an empty line, so a client splits the reply there.
load_script data/tree_ranges_full.txt
set_board QsJh2h
set_pot 0 0 100
add_line 0 0 0 0 0 0
add_line 20 20 20 20
build_tree
# the top of the tree, a decision with a bet and a check, a fold (the cards of a split are listed
# by tree_listings, and clients/child_blocks_client.py walks splits block by block)
show_children r
show_children r:0
show_children r:0:b20:f
set_end_string DONE
show_children r:0:b20
show_children r:0:b20:f
