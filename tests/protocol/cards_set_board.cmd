set_board QsJh2h
set_board Qs Jh 2h
set_board qs jh 2h
set_board QsJh2hTd
set_board QsJh2hTd3c
set_board Qs QsJh 2h
set_board Qs Jh 2h Td 3c
set_board
set_board QsJh2hT
set_board Qs Jh
set_board QsJh
set_board Qs Jh 2h Td 3c 4d
set_board QsJh2hTd3c4d
set_board Qs Qs Jh
set_board Qs Jh 2h Td3c
set_board QsJh2hQs
set_board Qs Jh 2h Td Td
set_board QsJh2x
set_board Qs Jh 10h
set_board Qs,Jh,2h
set_board Qs Jh 2h TdTd
set_low_card 6
set_board QsJh2h
set_board QsJh9hTd5c
set_board QsJh9hTd6c
