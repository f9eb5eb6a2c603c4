# A tree built for a short deck (lowest rank 6) keeps that deck when set_low_card changes later:
# river cards below 6 are not in its paths or its queries, and a river card weighs 1/32 (the
# split's 32 cards, ace first, are counted and ordered by the tree unit tests).
set_low_card 6
load_script data/tree_ranges_full.txt
set_board QsJh9h8d
set_pot 0 0 100
add_line 0 0 0 0
add_line 0 0 50 50
build_tree
go 3 steps block
set_low_card 2
show_node r:0:c:c:2c
show_strategy r:0:c:c:2c
calc_line_freq r:0:c:c:2c
calc_global_freq r:0:c:c:2c
calc_eq_node OOP r:0:c:c:2c
show_node r:0:c:c
show_node r:0:c:c:6c
calc_global_freq r:0:c:c:6c
