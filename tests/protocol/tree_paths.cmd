show_node r
show_node r:0
load_script data/tree_ranges_bench.txt
set_board QsJh2h8d
set_pot 0 0 100
load_script data/tree_lines_turn.txt
build_tree
show_node r
show_children r
show_node r::0
show_node r:0:c
show_node r:0:c:c
show_node r:0:c:c:As
show_node r:0:c:c:2c:b50
show_node r:0:c:c:As:b50:b125:c
show_node r:0:b50:c:c
show_node r:0:b50:call:check:b200:fold
show_node r:0:b50.0
show_node r:0:b50.5
show_node r:0:bet
show_node r:0:b
show_node r:0:As
show_node r:0:c:c:8d
show_node r:0:c:c:Qs
show_node r:0:c:c:As:Ks
show_node r:0:c:c:b50:c:As
show_node r:0:c:c:Asx
show_node r:0:c:c:Ax
show_node r:0:x
show_node r:1
show_node q:0
show_node r:0:b100:b200:c:c
show_children r:0:b100:b200
show_children r:0:c:c:Ah:c
set_board QsJh2h
clear_lines
add_line 0 0 0 0
add_line 30 30 30 30 30 30
build_tree
show_node r:0:c:c:Kh:c
show_node r:0:c:c:Kh:c:c
show_node r:0:c:c:kh:c:c:kd
show_node r:0:c:c:Kh:c:c:Kh
show_node r:0:c:c:Kh:Kd
show_node r:0:b30:c:Kh:c:c
show_node r:0:b30:c:Ts:c:c:Td
show_node r:0:c:c:c
free_tree
show_node r:0
show_children r
