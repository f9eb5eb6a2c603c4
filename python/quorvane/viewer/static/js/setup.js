// The set-up form: the game, both ranges, the bet sizes per street and player, and the solve
// settings; the buttons that start, stop and continue a solve and that save and open tree files.
// Errors are shown beside the field they belong to.
import { post } from "./api.js";
import { RangeEditor } from "./range_editor.js";

const STREETS = ["flop", "turn", "river"];
const DEFAULT_SIZES = { bet: "33%, 75%, 150%", raise: "2.5x" };
const NOT_GAME = new Set(["tree_path", "click_weight"]);  // fields that are not sent with a game

function fillBetTable(body) {
  for (const street of STREETS) {
    const row = document.createElement("tr");
    row.dataset.street = street;
    row.innerHTML = `<th>${street}</th>`;
    for (const player of ["oop", "ip"]) {
      for (const kind of ["bet", "raise"]) {
        const cell = document.createElement("td");
        const input = document.createElement("input");
        input.name = `bets.${street}.${player}.${kind}`;
        input.value = DEFAULT_SIZES[kind];
        input.size = 14;
        cell.append(input);
        row.append(cell);
      }
    }
    body.append(row);
  }
}

// An error slot at the end of each field's fieldset, unless the field has one already (the bet
// sizes share theirs).
function addErrorSlots(form) {
  for (const field of form.querySelectorAll("fieldset input[name]")) {
    if (field.name.startsWith("bets.") || form.querySelector(`.error[data-for="${field.name}"]`)) continue;
    const slot = document.createElement("p");
    slot.className = "error";
    slot.dataset.for = field.name;
    field.closest("fieldset").append(slot);
  }
}

export class SetupForm {
  constructor(form, { onStarted }) {
    this.form = form;
    this.onStarted = onStarted;
    fillBetTable(form.querySelector("#bet-table tbody"));
    addErrorSlots(form);
    const weight = form.querySelector("#click-weight");
    const template = form.querySelector("#range-editor");
    this.editors = [...form.querySelectorAll(".range[data-player]")].map((place) => {
      place.replaceChildren(template.content.cloneNode(true));
      return new RangeEditor(place, weight);
    });
    form.elements.board.addEventListener("input", () => this.showStreets());
    this.showStreets();
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      this.solve();
    });
    form.querySelector("#stop").addEventListener("click", () => post("/api/stop"));
    form.querySelector("#continue").addEventListener("click", () => this.send("/api/continue", {}, "solve"));
    form.querySelector("#save-tree").addEventListener("click", () => this.treeFile("save"));
    form.querySelector("#open-tree").addEventListener("click", () => this.treeFile("open"));
  }

  errorSlot(field) {
    const slot = field.startsWith("bets.") ? "bets" : field;
    return this.form.querySelector(`.error[data-for="${slot}"]`) ??
      this.form.querySelector('.error[data-for="solve"]');
  }

  clearErrors() {
    for (const slot of this.form.querySelectorAll(".error")) {
      if (!slot.dataset.for.endsWith("_range")) slot.textContent = "";
    }
    for (const input of this.form.querySelectorAll("input.invalid")) input.classList.remove("invalid");
  }

  showError(field, message) {
    this.errorSlot(field ?? "solve").textContent = message;
    this.form.elements[field]?.classList?.add("invalid");
  }

  // Streets that the board leaves to play: a river board bets on the river only.
  showStreets() {
    const cards = this.form.elements.board.value.replace(/[\s,]/g, "").length / 2;
    STREETS.forEach((street, i) => {
      this.form.querySelector(`tr[data-street="${street}"]`).hidden = cards > 3 + i;
    });
  }

  values() {
    const values = {};
    for (const input of this.form.querySelectorAll("input[name], textarea[name]")) {
      if (!NOT_GAME.has(input.name)) values[input.name] = input.value.trim();
    }
    return values;
  }

  // Starts a solve, unless a range does not read: then its error stays and nothing is sent.
  async solve() {
    this.clearErrors();
    const valid = await Promise.all(this.editors.map((editor) => editor.check()));
    if (!valid.every(Boolean)) return;
    await this.send("/api/solve", this.values(), "solve");
  }

  async send(path, body, slot) {
    this.clearErrors();
    const reply = await post(path, body);
    if (!reply.ok) {
      this.showError(reply.data.field ?? slot, reply.data.error);
      return;
    }
    this.onStarted(reply.data);
  }

  async treeFile(action) {
    this.clearErrors();
    const reply = await post(`/api/tree/${action}`, { path: this.form.elements.tree_path.value });
    if (!reply.ok) this.showError(reply.data.field ?? "tree_path", reply.data.error);
    else this.onStarted(reply.data);
  }

  // Which buttons work in a state of the session.
  enable(state) {
    const busy = state === "solving" || state === "building";
    this.form.querySelector("#solve").disabled = busy;
    this.form.querySelector("#stop").disabled = !busy;
    this.form.querySelector("#continue").disabled = !(state === "stopped" || state === "solved");
    this.form.querySelector("#save-tree").disabled = busy;
    this.form.querySelector("#open-tree").disabled = busy;
  }
}
