ping
connect_to_workers 127.0.0.1:7000
connect_to_workers 127.0.0.1:70000 1
connect_to_workers 127.0.0.1:7000 0
connect_to_workers 127.0.0.1:7000 20000
connect_to_workers 127.0.0.1:7000 1 127.0.0.1:7001 -1
connect_to_workers 127.0.0.1:x 1
init_worker 0
init_worker 2 1 1
init_worker -1 1
traverse_subgames 2 0
traverse_subgames 0 0
get_worker_strategy 0 0 0 0
get_worker_data
init_worker 1 1 3
get_worker_strategy 0 0 0 0
go
