echo standard input loop
