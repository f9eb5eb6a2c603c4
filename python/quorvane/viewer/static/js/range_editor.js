// A range as text beside its 13 by 13 grid. The server reads the text (the Python client's range
// reader), so the grid and the error shown are exactly what a solve would use; a click on a cell
// sets that hand class and the text comes back in its shortest form. Questions to the server go
// one at a time, so each one reads the text as the one before left it.
import { post } from "./api.js";
import { drawGrid, weightCell } from "./hands.js";

export class RangeEditor {
  // Fills a place laid out from the page's range editor template: its data-player ("oop" or
  // "ip") names the fields, its data-text is the range it starts with.
  constructor(place, clickWeight) {
    const player = place.dataset.player;
    const part = (selector) => place.querySelector(selector);
    Object.assign(this, { textarea: part("textarea"), grid: part(".hand-grid"), error: part(".error"),
                          combos: part(".combos"), clickWeight });
    part("h3").textContent = player.toUpperCase();
    this.textarea.name = `${player}_range`;
    this.textarea.value = place.dataset.text;
    this.error.dataset.for = this.textarea.name;
    this.grid.id = `${player}-editor`;
    this.combos.id = `${player}-combos`;
    const { textarea, grid } = this;
    this.last = Promise.resolve(true);
    this.read();
    textarea.addEventListener("input", () => {
      clearTimeout(this.timer);
      this.timer = setTimeout(() => this.read(), 250);
    });
    grid.addEventListener("click", (event) => {
      const cell = event.target.closest(".cell");
      if (cell) this.toggle(cell.dataset.class, Number(cell.dataset.weight) > 0);
    });
  }

  // Whether the text as it stands reads as a range (the answer to a fresh question).
  check() {
    clearTimeout(this.timer);
    return this.read();
  }

  read(change = {}) {
    this.last = this.last.then(() => this.ask(change));
    return this.last;
  }

  async ask(change) {
    const reply = await post("/api/range", { text: this.textarea.value, ...change });
    this.error.textContent = reply.ok ? "" : reply.data.error;
    this.textarea.classList.toggle("invalid", !reply.ok);
    if (reply.ok) {
      if (change.class) this.textarea.value = reply.data.text;
      drawGrid(this.grid, (cell, name) => weightCell(cell, name, reply.data.grid[name] ?? 0));
      this.combos.textContent = `${reply.data.combos.toFixed(1)} combos`;
    }
    return reply.ok;
  }

  // A click takes a held class out, or puts it in at the chosen weight (when that is a weight).
  toggle(name, held) {
    const text = this.clickWeight.value.trim();
    const weight = held ? 0 : Number(text);
    const usable = held || (text !== "" && Number.isFinite(weight) && weight >= 0);
    this.clickWeight.classList.toggle("invalid", !usable);
    if (usable) this.read({ class: name, weight });
  }
}
