// The explorer: the line to a node as a breadcrumb, the acting player's strategy as a 13 by 13
// grid (each cell split by the hand's action frequencies, filled as far as the hand reaches the
// node, relative to the hand that reaches it most), the action summary, per-combo detail on
// hover, card pickers at chance nodes, both players' ranges, and a second node pinned beside the
// current one for comparison.
import { get } from "./api.js";
import { RANKS, amount, drawGrid, largest, percent, weightCell } from "./hands.js";

export const ROOT = "r:0";
const SUITS = "shdc";

function actionColours(actions) {
  const bets = actions.filter((a) => /^(bet|raise)/.test(a.name)).length;
  let seen = 0;
  return actions.map((action) => {
    if (action.name === "fold") return "hsl(212, 55%, 55%)";
    if (action.name === "check" || action.name === "call") return "hsl(130, 40%, 48%)";
    const light = bets > 1 ? 30 + 30 * (seen++ / (bets - 1)) : 45;  // the largest bet darkest
    return `hsl(4, 70%, ${light}%)`;
  });
}

function html(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) {
    if (key.startsWith("data-")) node.dataset[key.slice(5)] = value;
    else node[key] = value;
  }
  node.append(...children);
  return node;
}

function heading(view) {
  const where = `board ${view.board}; put in: OOP ${view.invested[0]}, IP ${view.invested[1]}`;
  let what = "End of the hand";
  if (view.player) what = `${view.player} to act`;
  else if (view.type === "SPLIT_NODE") what = "A card comes";
  return html("div", { className: "node-heading" }, html("h2", {}, what), html("p", {}, where));
}

function actionSummary(view, colours, navigate) {
  const rows = view.actions.map((action, i) => {
    const swatch = html("span", { className: "swatch" });
    swatch.style.background = colours[i];
    const row = html("button", { type: "button", className: "action", "data-path": action.path,
                                 "data-action": action.name, "data-frequency": String(action.frequency) },
      swatch, html("span", { className: "name" }, action.name),
      html("span", { className: "number" }, percent(action.frequency)),
      html("span", { className: "number" }, `${amount(action.combos)} combos`));
    row.addEventListener("click", () => navigate(action.path));
    return row;
  });
  const average = html("p", { className: "averages" },
    `${view.player}: EV ${view.ev?.toFixed(2) ?? "–"} chips, equity ${percent(view.equity)}`);
  return html("div", { className: "actions" }, ...rows, average);
}

function strategyGrid(view, colours, hover) {
  const grid = html("div", { className: "strategy" });
  const reach = view.ranges[view.player].grid;
  const full = largest(reach);
  drawGrid(grid, (cell, name) => {
    const mix = view.grid[name];
    cell.dataset.reach = String(reach[name] ?? 0);
    const bar = html("div", { className: "fill mix" });
    bar.style.height = `${100 * (reach[name] ?? 0) / full}%`;
    (mix ?? []).forEach((frequency, i) => {
      const part = html("span", { "data-action": view.actions[i].name, "data-frequency": String(frequency) });
      part.style.width = `${100 * frequency}%`;
      part.style.background = colours[i];
      bar.append(part);
    });
    cell.append(bar, html("span", { className: "label" }, name));
    if (mix) cell.addEventListener("mouseenter", () => hover(view, name));
  });
  return grid;
}

function cardPicker(view, navigate) {
  const dealt = new Map(view.cards.map((c) => [c.card, c.path]));
  const rows = [...SUITS].map((suit) => html("div", { className: "card-row" },
    ...[...RANKS].map((rank) => {
      const card = rank + suit;
      const button = html("button", { type: "button", className: `card suit-${suit}`, "data-card": card,
                                      disabled: !dealt.has(card) }, card);
      if (dealt.has(card)) {
        button.dataset.path = dealt.get(card);
        button.addEventListener("click", () => navigate(dealt.get(card)));
      }
      return button;
    })));
  return html("div", { className: "cards" }, ...rows);
}

function rangesAtNode(view) {
  return html("div", { className: "node-ranges" }, ...["OOP", "IP"].map((player) => {
    const range = view.ranges[player];
    const grid = html("div", { className: "small", "data-player": player });
    const full = largest(range.grid);
    drawGrid(grid, (cell, name) => weightCell(cell, name, range.grid[name] ?? 0, full));
    return html("div", {}, html("h3", {}, `${player} range: ${amount(range.combos)} combos`), grid);
  }));
}

// The whole panel of one node; navigate(path) is called for a click on an action or a card.
function nodePanel(view, navigate, hover) {
  const parts = [heading(view)];
  if (view.player) {
    const colours = actionColours(view.actions);
    parts.push(html("div", { className: "decision" },
      strategyGrid(view, colours, hover), actionSummary(view, colours, navigate)));
  } else if (view.type === "SPLIT_NODE") {
    parts.push(cardPicker(view, navigate));
  }
  parts.push(rangesAtNode(view));
  return parts;
}

function handDetail(view, name) {
  const head = html("tr", {}, html("th", {}, "combo"), html("th", {}, "weight"),
    ...view.actions.map((a) => html("th", {}, a.name)), html("th", {}, "EV"), html("th", {}, "equity"));
  const rows = view.hands[name].map((hand) => html("tr", { "data-combo": hand.combo },
    html("td", {}, hand.combo), html("td", {}, amount(hand.weight)),
    ...hand.strategy.map((p) => html("td", {}, percent(p))),
    html("td", {}, hand.ev?.toFixed(2) ?? "–"), html("td", {}, percent(hand.equity))));
  return [html("h3", {}, `${name} at ${view.path}`), html("table", {}, head, ...rows)];
}

export class Explorer {
  constructor(root) {
    this.root = root;
    this.path = ROOT;
    this.pinned = null;
    this.view = null;
    root.querySelector("#compare").addEventListener("click", () => this.togglePin());
  }

  part(selector) {
    return this.root.querySelector(selector);
  }

  message(text) {
    this.part("#explorer-message").hidden = !text;
    this.part("#explorer-message").textContent = text ?? "";
  }

  // While a solve runs the engine is not asked; the page says so.
  setSolving(solving) {
    this.part("#solving-banner").hidden = !solving;
    this.root.dataset.solving = String(solving);
  }

  async show(path = this.path) {
    const reply = await get(`/api/node?path=${encodeURIComponent(path)}`);
    if (!reply.ok) {
      this.setSolving(Boolean(reply.data.solving));
      this.message(reply.data.solving ? "" : reply.data.error);
      return;
    }
    this.message("");
    this.path = path;
    this.view = reply.data;
    this.drawBreadcrumb();
    const hover = (view, name) => this.hover(view, name);
    this.part("#current").replaceChildren(...nodePanel(this.view, (p) => this.show(p), hover));
    this.part("#hand-detail").hidden = true;
    this.root.dataset.path = path;
  }

  drawBreadcrumb() {
    const steps = this.view.breadcrumb.map((step) => {
      const button = html("button", { type: "button", "data-path": step.path }, step.name);
      button.addEventListener("click", () => this.show(step.path));
      return button;
    });
    this.part("#breadcrumb").replaceChildren(...steps);
  }

  hover(view, name) {
    const detail = this.part("#hand-detail");
    detail.replaceChildren(...handDetail(view, name));
    detail.hidden = false;
  }

  togglePin() {
    const compared = this.part("#compared");
    this.pinned = this.pinned || !this.view ? null : this.view;
    compared.hidden = !this.pinned;
    this.part("#compare").textContent = this.pinned ? "Stop comparing" : "Compare with this node";
    if (!this.pinned) return;
    const line = this.pinned.breadcrumb.map((step) => step.name).join(" › ");
    const title = html("p", { className: "pinned" }, `Pinned: ${line}`);
    const hover = (view, name) => this.hover(view, name);
    compared.replaceChildren(title, ...nodePanel(this.pinned, (p) => this.show(p), hover));
  }
}
