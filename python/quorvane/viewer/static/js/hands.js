// The 13 by 13 starting-hand grid: aces first, pairs on the diagonal, suited hands above it and
// offsuit hands below, as players draw it.

export const RANKS = "AKQJT98765432";

export function handClass(row, col) {
  if (row === col) return RANKS[row] + RANKS[col];
  return row < col ? `${RANKS[row]}${RANKS[col]}s` : `${RANKS[col]}${RANKS[row]}o`;
}

// Fills a container with the 169 cells; fill(cell, name) draws each one.
export function drawGrid(container, fill) {
  const cells = [];
  for (let row = 0; row < 13; row++) {
    for (let col = 0; col < 13; col++) {
      const cell = document.createElement("div");
      cell.className = "cell";
      cell.dataset.class = handClass(row, col);
      fill(cell, cell.dataset.class);
      cells.push(cell);
    }
  }
  container.replaceChildren(...cells);
  container.classList.add("hand-grid");
}

// A cell that shows a weight as the share of the cell filled (of `full`, the weight that fills
// it), and the hand's name.
export function weightCell(cell, name, weight, full = 1) {
  const fill = document.createElement("div");
  fill.className = "fill";
  fill.style.height = `${100 * Math.min(1, weight / full)}%`;
  const label = document.createElement("span");
  label.className = "label";
  label.textContent = name;
  cell.dataset.weight = String(weight);
  cell.append(fill, label);
}

// The largest value of a grid, which fills a cell: a node reached rarely still shows its hands.
export function largest(grid) {
  return Math.max(...Object.values(grid), 1e-12);
}

// Three significant digits below 100, whole numbers above.
export function amount(value) {
  return Math.abs(value) >= 100 ? value.toFixed(0) : value.toPrecision(3);
}

export function percent(value, digits = 1) {
  return value === null || value === undefined ? "–" : `${(100 * value).toFixed(digits)}%`;
}
