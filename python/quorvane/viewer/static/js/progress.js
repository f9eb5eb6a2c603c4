// The solve's progress: exploitability (percent of the pot, on a log scale) against time, drawn
// as a small SVG chart, and a line of text with the latest figures.
const SVG = "http://www.w3.org/2000/svg";
const MARGIN = { left: 46, right: 10, top: 10, bottom: 24 };

function element(name, attributes, text) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  if (text !== undefined) node.textContent = text;
  return node;
}

export class ProgressChart {
  constructor(svg, text) {
    Object.assign(this, { svg, text, points: [] });
    this.draw();
  }

  reset() {
    this.points = [];
    this.draw();
  }

  add(points) {
    if (points.length === 0) return;
    this.points.push(...points);
    this.draw();
  }

  // The line of text: the state's message, or while a solve runs the time it has run and the
  // latest report.
  describe(status) {
    const last = this.points[this.points.length - 1];
    const figures = last ? `: ${last.iterations} iterations, exploitability ` +
      `${last.percent.toFixed(3)}% of the pot` : "";
    this.text.textContent = status.state === "solving" ?
      `solving for ${status.seconds.toFixed(1)} s${figures}` : status.message;
  }

  draw() {
    const width = Number(this.svg.getAttribute("width"));
    const height = Number(this.svg.getAttribute("height"));
    const plot = { x: MARGIN.left, y: MARGIN.top, w: width - MARGIN.left - MARGIN.right,
                   h: height - MARGIN.top - MARGIN.bottom };
    const frame = { x: plot.x, y: plot.y, width: plot.w, height: plot.h, class: "frame" };
    const children = [element("rect", frame)];
    const shown = this.points.filter((p) => p.percent > 0);
    if (shown.length > 0) {
      const logs = shown.map((p) => Math.log10(p.percent));
      const top = Math.ceil(Math.max(...logs));
      const bottom = Math.min(Math.floor(Math.min(...logs)), top - 1);
      const end = Math.max(shown[shown.length - 1].seconds, 1e-3);
      const x = (s) => plot.x + plot.w * s / end;
      const y = (v) => plot.y + plot.h * (top - v) / (top - bottom);
      for (let level = bottom; level <= top; level++) {
        children.push(element("line", { x1: plot.x, x2: plot.x + plot.w, y1: y(level), y2: y(level),
                                        class: "grid-line" }));
        children.push(element("text", { x: plot.x - 4, y: y(level) + 4, class: "axis" }, `${10 ** level}%`));
      }
      const line = shown.map((p, i) => `${x(p.seconds).toFixed(1)},${y(logs[i]).toFixed(1)}`).join(" ");
      children.push(element("polyline", { points: line, class: "curve" }));
      children.push(element("text", { x: plot.x + plot.w, y: height - 6, class: "axis end" },
                            `${end.toFixed(1)} s`));
    }
    this.svg.replaceChildren(...children);
    this.svg.dataset.points = String(this.points.length);
  }
}
