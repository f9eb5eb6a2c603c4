"""The viewer's web application: the static page, and a small JSON interface that hands each
request to the session (solving), the form reader (set-up) or the node views (reading). Handlers
run on worker threads, so an engine answer that takes a while never holds up the progress reports
of a running solve."""
import json
import math
import pathlib

import numpy as np
from starlette.applications import Starlette
from starlette.concurrency import run_in_threadpool
from starlette.responses import JSONResponse
from starlette.routing import Mount, Route
from starlette.staticfiles import StaticFiles

from ..cards import HAND_CLASS_OF_COMBO
from ..errors import EngineError
from ..ranges import RangeError, format_range, parse_range
from .form import FormError, read_form
from .session import Busy, NoSolution
from .views import ROOT, node_view, range_view

STATIC = pathlib.Path(__file__).resolve().parent / "static"


def _error(status, message, **more):
    return JSONResponse({"error": message, **more}, status_code=status)


def _answer(work):
    """Runs work() and turns every expected failure into an error reply: a form error names its
    field, an engine error carries the engine's own line, a busy engine answers 409."""
    try:
        return JSONResponse(work())
    except FormError as error:
        return _error(400, str(error), field=error.field)
    except RangeError as error:
        return _error(400, str(error), token=error.token)
    except Busy as error:
        return _error(409, str(error), solving=True)
    except NoSolution as error:
        return _error(409, str(error))
    except EngineError as error:
        return _error(400, error.line)


def _endpoint(handler):
    """An endpoint that calls handler(query, body) on a worker thread; body is the request's JSON
    object ({} for a GET)."""
    async def endpoint(request):
        body = {}
        if request.method == "POST":
            try:
                body = json.loads(await request.body() or b"{}")
            except ValueError:
                body = None
            if not isinstance(body, dict):
                return _error(400, "the request is not a JSON object")
        return await run_in_threadpool(_answer, lambda: handler(request.query_params, body))
    return endpoint


def edit_range(_, body):
    """Reads a range text and, when asked, sets every combo of one hand class to a weight;
    answers the shortest text of the result and its grid."""
    weights = parse_range(str(body.get("text", "")))
    if body.get("class") is not None:
        chosen = np.array([name == body["class"] for name in HAND_CLASS_OF_COMBO])
        if not chosen.any():
            raise FormError("class", f"not a hand class: {body['class']!r}")
        weight = body.get("weight", 1)
        if isinstance(weight, bool) or not isinstance(weight, (int, float)) \
                or not math.isfinite(weight) or weight < 0:
            raise FormError("click_weight", f"a weight is a number of at least 0, not {weight!r}")
        weights[chosen] = weight
    return {"text": format_range(weights), **range_view(weights)}


def create_app(session):
    def status(query, _):
        since = query.get("since", "0")
        return session.status(int(since) if since.isdigit() else 0)

    def solve(_, body):
        session.start(*read_form(body))
        return session.status()

    def resume(*_):
        session.resume()
        return session.status()

    def stop(*_):
        session.stop()
        return session.status()

    def node(query, _):
        path = query.get("path", ROOT)
        return session.query(lambda engine: node_view(engine, path))

    def tree_file(action):
        """Saves the tree to, or opens it from, the file named in the request."""
        def handler(_, body):
            path = str(body.get("path", "")).strip()
            if not path:
                raise FormError("tree_path", "a file name is needed")
            action(path)
            return session.status()
        return handler

    get, post = ["GET"], ["POST"]
    routes = [Route("/api/status", _endpoint(status), methods=get),
              Route("/api/node", _endpoint(node), methods=get),
              Route("/api/range", _endpoint(edit_range), methods=post),
              Route("/api/solve", _endpoint(solve), methods=post),
              Route("/api/continue", _endpoint(resume), methods=post),
              Route("/api/stop", _endpoint(stop), methods=post),
              Route("/api/tree/save", _endpoint(tree_file(session.save)), methods=post),
              Route("/api/tree/open", _endpoint(tree_file(session.load)), methods=post),
              Mount("/", StaticFiles(directory=STATIC, html=True))]
    return Starlette(routes=routes)
