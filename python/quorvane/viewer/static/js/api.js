// Requests to the viewer's server. Every reply is {ok, status, data}; data is the JSON answer,
// which for a refusal holds the server's "error" text (and the "field" it belongs to).

async function request(path, options) {
  try {
    const response = await fetch(path, options);
    const data = await response.json();
    return { ok: response.ok, status: response.status, data };
  } catch (error) {
    return { ok: false, status: 0, data: { error: `the viewer's server did not answer (${error.message})` } };
  }
}

export function get(path) {
  return request(path, { cache: "no-store" });
}

export function post(path, body = {}) {
  return request(path, {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify(body),
  });
}
