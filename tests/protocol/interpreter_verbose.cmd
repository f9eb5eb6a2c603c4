echo from standard input
