// Wires the page together: the tabs, the set-up form, the explorer, and the status of the session,
// asked for four times a second while a solve runs and once a second otherwise.
import { get } from "./api.js";
import { Explorer, ROOT } from "./explorer.js";
import { ProgressChart } from "./progress.js";
import { SetupForm } from "./setup.js";

const READABLE = new Set(["solved", "stopped", "loaded"]);
const chart = new ProgressChart(document.querySelector("#chart"), document.querySelector("#progress-text"));
const explorer = new Explorer(document.querySelector("#explorer"));
let reports = 0;
let run = null;
let lastState = null;

function showTab(name) {
  for (const tab of document.querySelectorAll(".tab")) tab.hidden = tab.id !== name;
  for (const button of document.querySelectorAll(".tabs button")) {
    button.classList.toggle("active", button.dataset.tab === name);
  }
  if (name === "explorer" && READABLE.has(lastState)) explorer.show();
}

const form = new SetupForm(document.querySelector("#setup-form"), { onStarted: (status) => update(status) });

// Each game set up or tree opened is a new run: its progress starts afresh (a reply that holds
// only the later reports of a new run waits for the next one, which asks for all of them) and it
// is explored from the start.
function update(status) {
  if (status.run !== run) {
    chart.reset();
    explorer.path = ROOT;
    run = status.run;
    lastState = null;
    if (status.history.length !== status.reports) status.history = [];
  }
  chart.add(status.history);
  reports = chart.points.length;
  chart.describe(status);
  form.enable(status.state);
  const line = document.querySelector("#status-line");
  line.dataset.state = status.state;
  line.textContent = status.game ? `${status.game.board}, pot ${status.game.pot}, stack ` +
    `${status.game.stack}: ${status.message}` : status.message || "No game yet.";
  explorer.setSolving(status.state === "solving" || status.state === "building");
  if (READABLE.has(status.state) && status.state !== lastState &&
      !document.querySelector("#explorer").hidden) explorer.show();
  lastState = status.state;
}

async function poll() {
  const reply = await get(`/api/status?since=${reports}`);
  if (reply.ok) update(reply.data);
  const busy = reply.ok && (reply.data.state === "solving" || reply.data.state === "building");
  setTimeout(poll, busy ? 250 : 1000);
}

for (const button of document.querySelectorAll(".tabs button")) {
  button.addEventListener("click", () => showTab(button.dataset.tab));
}
poll();
