eval_hand AsAdKc9h7s4d2c
eval_hand AsKsQsJsTs
eval_hand 5c4d3h2sAc
eval_hand KcKdKh9c9d9h2s
eval_hand AcAdKcKdQcQd2s
eval_hand "ac ad ah as kd"
eval_hand AcAdAhKsQd
eval_hand 9c8c7c6c2c
eval_hand 9h8h7h2h5h6c
eval_hand AsKsQs
eval_hand AsKsQsJs
eval_hand AsKsQsJsTs9s8s7s
eval_hand AsAx
eval_hand AsAsKsQsJs
eval_hand As Ks
eval_hand
set_low_card 6
eval_hand As6c7d8h9s
eval_hand As6c7d8h9sTc
eval_hand As6s7s8s9sKhQd
eval_hand AsKsQs6s8s7h9d
set_low_card 7
set_low_card 1
set_low_card 3.5
set_low_card six
eval_hand As6c7d8h9s
set_low_card 2
eval_hand As6c7d8h9s
set_hand_type_order highcard pair twopair trips straight fullhouse flush quads straightflush
eval_hand 9c8c7c6c2c
eval_hand AcAdAhKsKd
set_hand_type_order highcard pair twopair trips straight fullhouse Flush quads straightflush
set_hand_type_order highcard pair twopair trips straight fullhouse fullhouse quads straightflush
set_hand_type_order highcard pair twopair trips straight fullhouse flush quads
eval_hand 9c8c7c6c2c
set_hand_type_order highcard pair twopair trips straight flush fullhouse quads straightflush
eval_hand 9c8c7c6c2c
