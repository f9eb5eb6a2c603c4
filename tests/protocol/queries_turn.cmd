load_script data/solver_turn_game.txt
show_probs r:0
show_probs r:0:c
show_probs r:0:c:c
show_probs r:0:c:c:7s
calc_global_freq r:0:c:c
calc_line_freq r:0:c:c:7s
calc_line_freq r:0:c:c:b50
show_strategy r:0:c:c:b50
calc_ev OOP r:0:c:c:b50
calc_eq_node OOP r:0:c:c:b50
show_range OOP r:0:c:c:7s
show_range IP r:0:c:c:Qs
