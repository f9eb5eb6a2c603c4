// A range as text beside its 13 by 13 grid. The server reads the text (the Python client's range
// reader), so the grid and the error shown are exactly what a solve would use; a click on a cell
// sets that hand class and the text comes back in its shortest form.
import { post } from "./api.js";
import { drawGrid, weightCell } from "./hands.js";

export class RangeEditor {
  constructor(textarea, grid, error, combos, clickWeight) {
    Object.assign(this, { textarea, grid, error, combos, clickWeight });
    this.asked = 0;
    this.valid = this.read();
    textarea.addEventListener("input", () => {
      clearTimeout(this.timer);
      this.valid = new Promise((done) => {
        this.timer = setTimeout(() => done(this.read()), 250);
      });
    });
    grid.addEventListener("click", (event) => {
      const cell = event.target.closest(".cell");
      if (cell) this.toggle(cell.dataset.class, Number(cell.dataset.weight) > 0);
    });
  }

  // Asks the server about the text (and a class to set); true when the text reads. Only the
  // answer to the latest question is shown.
  async read(change = {}) {
    const asked = ++this.asked;
    const reply = await post("/api/range", { text: this.textarea.value, ...change });
    if (asked !== this.asked) return reply.ok;
    this.error.textContent = reply.ok ? "" : reply.data.error;
    this.textarea.classList.toggle("invalid", !reply.ok);
    if (reply.ok) {
      if (change.class) this.textarea.value = reply.data.text;
      drawGrid(this.grid, (cell, name) => weightCell(cell, name, reply.data.grid[name] ?? 0));
      this.combos.textContent = `${reply.data.combos.toFixed(1)} combos`;
    }
    return reply.ok;
  }

  toggle(name, held) {
    const weight = held ? 0 : Number(this.clickWeight.value);
    this.valid = this.read({ class: name, weight: Number.isFinite(weight) ? weight : 1 });
  }
}
