"""A local web viewer: set a spot up, watch it solve and explore the solution in a browser.

    python -m quorvane viewer [--port P] [--host H] [--program ENGINE]

The server asks the engine (one child process, started when the first game is set up); the page is
static HTML, CSS and JavaScript in static/, with no build step.
"""
import socket
import sys

DEFAULT_PORT = 8250


def serve(host="127.0.0.1", port=DEFAULT_PORT, program=None, out=sys.stdout):
    """Serves the viewer until interrupted; prints its address first (port 0 takes a free one)."""
    import uvicorn

    from .app import create_app
    from .session import Session

    session = Session(program)
    server = uvicorn.Server(uvicorn.Config(create_app(session), log_level="warning"))
    listener = socket.socket(socket.AF_INET6 if ":" in host else socket.AF_INET)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((host, port))
    listener.listen(128)  # from here on a browser's connection waits for the server to answer
    address = listener.getsockname()
    shown = f"[{address[0]}]" if ":" in host else address[0]
    print(f"Quorvane viewer at http://{shown}:{address[1]}/ (Ctrl-C ends it)", file=out, flush=True)
    try:
        server.run(sockets=[listener])
    finally:
        session.close()
