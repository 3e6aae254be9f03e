"use strict";
// Builds the page from the JSON blocks the report wrote: one "match-data" block per
// match and the "report-data" block with the files and servers. Every text from the
// data goes in as text, never as markup.

const errors = [];
window.addEventListener("error", (event) => {
  errors.push(String(event.message));
  document.body.dataset.errors = String(errors.length);
});
document.body.dataset.errors = "0";

const report = JSON.parse(document.getElementById("report-data").textContent);
const matches = Array.from(document.querySelectorAll("script.match-data"),
  (block) => JSON.parse(block.textContent)).sort((a, b) => a.report.number - b.report.number);

function el(tag, attributes, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes || {})) {
    if (name === "class") node.className = value;
    else node.setAttribute(name, value);
  }
  for (const child of children) {
    if (child === null || child === undefined) continue;
    node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
  return node;
}

const NONE = "\u2013";
const fixed = (value, decimals = 0) =>
  value === null || value === undefined ? NONE : value.toFixed(decimals);
const pair = (a, b, decimals = 0) =>
  (a === null || a === undefined) && (b === null || b === undefined)
    ? NONE : fixed(a, decimals) + " / " + fixed(b, decimals);
const utc = (epochSeconds) => new Date(epochSeconds * 1000).toISOString().slice(0, 19).replace("T", " ");
function matchTime(seconds) {
  const s = Math.max(0, Math.round(seconds));
  const two = (n) => String(n).padStart(2, "0");
  return s >= 3600 ? `${Math.floor(s / 3600)}:${two(Math.floor(s / 60) % 60)}:${two(s % 60)}`
                   : `${Math.floor(s / 60)}:${two(s % 60)}`;
}
const plural = (n, one, many) => `${n} ${n === 1 ? one : many}`;

// --- Headline: one line per file.
document.title = report.title;
const headline = document.getElementById("headline");
for (const file of report.files) {
  const line = file.refused
    ? file.refused
    : `${file.file}: ${plural(file.matches, "match", "matches")}, ${file.matchesWithProblems} with problems` +
      (file.servers.length ? `, on ${file.servers.join(", ")}` : "") +
      (file.skippedRows ? ` (${plural(file.skippedRows, "row", "rows")} could not be read)` : "");
  headline.append(el("p", {class: "headline" + (file.refused ? " incomplete" : "")}, line));
}

// --- The table of matches.
function tableOf(table, titles, rows) {
  table.append(el("tr", null, ...titles.map((title) => el("th", null, title))));
  for (const cells of rows) {
    table.append(el("tr", null, ...cells.map(([content, cls]) => el("td", cls ? {class: cls} : null, content))));
  }
}

const eventTotal = (r) => Object.values(r.eventCounts).reduce((a, b) => a + b, 0);
const MATCH_TITLES = ["#", "start (UTC)", "length", "rows", "server", "ping ms median / p95 / p99",
  "jitter ms", "latency ms median", "loss % in / out", "FPS mean / 1% low", "buffer / target", "events"];
{
  // Two rows a match: its figures, then its verdict across the table.
  const table = document.getElementById("match-table");
  table.append(el("tr", null, ...MATCH_TITLES.map((title) => el("th", null, title))));
  for (const {report: r} of matches) {
    const cells = [
      [el("a", {href: "#match-" + r.number}, r.number)],
      [r.start, "text"],
      [matchTime(r.lengthSeconds)],
      [r.rows],
      [r.server, "text"],
      [r.pingMs ? `${fixed(r.pingMs.median)} / ${fixed(r.pingMs.p95)} / ${fixed(r.pingMs.p99)}` : NONE],
      [fixed(r.jitterMs, 1)],
      [r.latencyMs ? fixed(r.latencyMs.median) : NONE],
      [pair(r.lossInPercent, r.lossOutPercent, 1)],
      [r.fps ? pair(r.fps.mean, r.fps.low1Percent) : NONE],
      [pair(r.bufferMean, r.bufferTargetMean, 1)],
      [eventTotal(r)],
    ];
    table.append(el("tr", {class: "figures"}, ...cells.map(([content, cls]) => el("td", cls ? {class: cls} : null, content))));
    table.append(el("tr", {class: "verdict-row"},
      el("td", null), el("td", {class: "text reason " + r.verdict, colspan: String(MATCH_TITLES.length - 1)}, r.reason)));
  }
}

// --- Servers: a table and a chart comparing them.
const verdictText = (counts) => Object.entries(counts).filter(([, n]) => n > 0)
  .map(([cause, n]) => `${n} ${cause}`).join(", ");
tableOf(document.getElementById("server-table"),
  ["server", "matches", "time played", "ping ms median / p95", "jitter ms", "loss % in / out", "verdicts"],
  report.servers.map((s) => [
    [s.serverIp, "text"], [s.matches], [matchTime(s.secondsPlayed)],
    [pair(s.pingMedianMs, s.pingP95Ms)], [fixed(s.jitterMs, 1)],
    [pair(s.lossInPercent, s.lossOutPercent, 1)], [verdictText(s.verdicts), "text"],
  ]));

const charts = [];
const narrow = () => window.innerWidth < 700;
const chartHeight = () => (narrow() ? 170 : 220);

function serverChart(holder) {
  const servers = report.servers;
  if (servers.length === 0) return;
  const index = servers.map((_, i) => i);
  const bars = (align, fill) => ({
    fill, stroke: fill, width: 0, paths: uPlot.paths.bars({size: [0.35, 60], align}),
    points: {show: false},
  });
  const options = {
    title: "Servers compared: ping (ms) and packets lost (%)",
    width: holder.clientWidth, height: chartHeight(),
    scales: {
      x: {time: false, range: [-0.5, servers.length - 0.5]},
      y: {range: (u, min, max) => [0, Math.max(1, max) * 1.15]},
      loss: {range: (u, min, max) => [0, Math.max(1, max) * 1.15]},
    },
    axes: [
      {splits: () => index, values: (u, splits) => splits.map((i) => servers[i] ? servers[i].serverIp : "")},
      {label: "ping (ms)"},
      {scale: "loss", side: 1, label: "lost (%)", grid: {show: false}},
    ],
    series: [
      {label: "server", value: (u, i) => (i === null || !servers[i] ? NONE : servers[i].serverIp)},
      Object.assign({label: "ping median", value: (u, v) => (v === null ? NONE : v + " ms")}, bars(-1, "#1f77b4")),
      Object.assign({label: "ping p95", value: (u, v) => (v === null ? NONE : v + " ms")}, bars(1, "#aec7e8")),
      {label: "lost in", scale: "loss", stroke: "#d62728", width: 2, value: (u, v) => (v === null ? NONE : v.toFixed(1) + " %")},
    ],
  };
  charts.push(new uPlot(options, [index, servers.map((s) => s.pingMedianMs),
    servers.map((s) => s.pingP95Ms), servers.map((s) => s.lossInPercent)], holder));
}
serverChart(document.getElementById("server-chart"));

// --- One section per match.
const KIND_LABELS = {
  pingSpike: "ping spike", lossBurst: "loss burst", fpsDrop: "FPS drop",
  bufferAboveTarget: "input buffer above target", noValue: "no value", notRecorded: "not recorded",
};
const BAND_COLORS = {
  pingSpike: "rgba(31, 119, 180, 0.16)", lossBurst: "rgba(214, 39, 40, 0.16)",
  fpsDrop: "rgba(44, 160, 44, 0.18)", bufferAboveTarget: "rgba(140, 86, 75, 0.18)",
  noValue: "rgba(120, 120, 120, 0.14)", notRecorded: "rgba(120, 120, 120, 0.22)",
};

function worstText(e) {
  switch (e.kind) {
    case "pingSpike": return `up to ${fixed(e.worstMs)} ms (typical ${fixed(e.typicalMs)})`;
    case "lossBurst": return `${fixed(e.worstLostInPerSecond)} in / ${fixed(e.worstLostOutPerSecond)} out a second (${fixed(e.worstSharePercent, 1)} %)`;
    case "fpsDrop": return `down to ${fixed(e.worstFps)} FPS (typical ${fixed(e.typicalFps)})`;
    case "bufferAboveTarget": return `${fixed(e.worstBuffer)} frames, target ${fixed(e.target)}`;
    case "noValue": return e.statistics.join(", ");
    default: return "";
  }
}

function bandLabel(e) {
  switch (e.kind) {
    case "pingSpike": return `spike ${fixed(e.worstMs)} ms`;
    case "lossBurst": return `loss ${fixed(Math.max(e.worstLostInPerSecond, e.worstLostOutPerSecond))}/s`;
    case "fpsDrop": return `drop ${fixed(e.worstFps)} FPS`;
    case "bufferAboveTarget": return `buffer ${fixed(e.worstBuffer)}`;
    case "noValue": return "no value";
    default: return "not recorded";
  }
}

const LIMITS = report.limits;
const CHARTS = [
  {key: "ping", title: "Ping and latency", unit: "ms", bands: ["pingSpike"],
   series: [["Ping", "ping", "#1f77b4"], ["Latency", "latency", "#ff7f0e"]],
   lines: [["spike line", "pingSpike", "#1f77b4"]],
   limits: [[`high ping (p95) ${LIMITS.highPingP95Ms} ms`, LIMITS.highPingP95Ms],
            [`high latency (median) ${LIMITS.highLatencyMedianMs} ms`, LIMITS.highLatencyMedianMs]]},
  {key: "loss", title: "Packets lost per second", unit: "packets", bands: ["lossBurst"], fromZero: true,
   series: [["Lost in", "lostIn", "#d62728"], ["Lost out", "lostOut", "#9467bd"]], lines: []},
  {key: "fps", title: "Frames per second", unit: "FPS", bands: ["fpsDrop"],
   series: [["FPS", "fps", "#2ca02c"]], lines: [["drop line", "fpsDrop", "#2ca02c"]],
   limits: [[`low FPS ${LIMITS.lowFps}`, LIMITS.lowFps]]},
  {key: "buffer", title: "Input buffer", unit: "frames", bands: ["bufferAboveTarget"], fromZero: true,
   series: [["Buffer", "buffer", "#8c564b"], ["Target", "target", "#7f7f7f"]], lines: []},
];

function matchChart(holder, match, layout) {
  const r = match.report;
  const t = match.series.t;
  const startEpoch = r.startEpochSeconds;
  const events = r.events.filter((e) => layout.bands.includes(e.kind) ||
    e.kind === "noValue" || e.kind === "notRecorded");
  const unitValue = (v) => (v === null || v === undefined ? NONE : `${v} ${layout.unit}`);
  const series = [{
    label: "time (UTC)",
    value: (u, v) => (v === null || v === undefined ? NONE : `${utc(v).slice(11)} (${matchTime(v - startEpoch)} in)`),
  }];
  const data = [t];
  for (const [label, key, color] of layout.series) {
    series.push({label, stroke: color, width: 1.5, value: (u, v) => unitValue(v)});
    data.push(match.series[key]);
  }
  for (const [label, key, color] of layout.lines) {
    const level = match.lines[key];
    if (level === null || level === undefined) continue;
    series.push({label: `${label} (${fixed(level)} ${layout.unit})`, stroke: color, width: 1, dash: [6, 4],
                 points: {show: false}, value: () => fixed(level) + " " + layout.unit});
    data.push(t.map(() => level));
  }
  const drawn = [];
  const bandX = (u, e) => {
    const from = startEpoch + e.offsetSeconds;
    return [u.valToPos(from, "x", true), u.valToPos(from + e.lengthSeconds, "x", true)];
  };
  const options = {
    title: `${layout.title} (${layout.unit})`,
    width: holder.clientWidth, height: chartHeight(),
    tzDate: (ts) => uPlot.tzDate(new Date(ts * 1000), "Etc/UTC"),
    scales: {y: layout.fromZero ? {range: (u, min, max) => [0, Math.max(1, max) * 1.15]} : {}},
    axes: [{values: (u, splits) => splits.map((v) => utc(v).slice(11, 19))}, {label: layout.unit}],
    series,
    hooks: {
      drawClear: [(u) => {
        drawn.length = 0;
        const ctx = u.ctx;
        ctx.save();
        for (const e of events) {
          const [x0, x1] = bandX(u, e);
          ctx.fillStyle = BAND_COLORS[e.kind];
          ctx.fillRect(x0, u.bbox.top, Math.max(x1 - x0, 2), u.bbox.height);
          drawn.push(`${e.kind}@${e.offsetSeconds}+${e.lengthSeconds}:${Math.round(x0)}-${Math.round(x1)}`);
        }
        ctx.restore();
        holder.dataset.bands = drawn.join(" ");
      }],
      draw: [(u) => {
        const ctx = u.ctx;
        ctx.save();
        ctx.font = `${Math.round(11 * devicePixelRatio)}px sans-serif`;
        ctx.fillStyle = "#333";
        for (const e of events) {
          if (!layout.bands.includes(e.kind)) continue;
          const [x0] = bandX(u, e);
          ctx.fillText(bandLabel(e), x0 + 3, u.bbox.top + 12 * devicePixelRatio);
        }
        // The verdict's limits, where they fall inside the range the data gives.
        const [low, high] = [u.scales.y.min, u.scales.y.max];
        for (const [label, level] of layout.limits || []) {
          if (level < low || level > high) continue;
          const y = u.valToPos(level, "y", true);
          ctx.strokeStyle = "#b02a2a";
          ctx.setLineDash([2, 3]);
          ctx.beginPath();
          ctx.moveTo(u.bbox.left, y);
          ctx.lineTo(u.bbox.left + u.bbox.width, y);
          ctx.stroke();
          ctx.fillStyle = "#b02a2a";
          ctx.fillText(label, u.bbox.left + u.bbox.width - ctx.measureText(label).width - 4, y - 3);
        }
        ctx.restore();
      }],
    },
  };
  holder.dataset.chart = layout.key;
  charts.push(new uPlot(options, data, holder));
}

function notesOf(r) {
  const notes = [plural(r.rows, "row", "rows") + " in " + matchTime(r.lengthSeconds)];
  if (r.gaps) notes.push(`${plural(r.gaps, "gap", "gaps")} (${r.gapSeconds} s not recorded)`);
  if (r.clockStepsBack) notes.push(`clock stepped back ${plural(r.clockStepsBack, "time", "times")}`);
  const missing = Object.entries(r.secondsWithoutValue).filter(([, n]) => n > 0).map(([name, n]) => `${name} ${n} s`);
  if (missing.length) notes.push("no value: " + missing.join(", "));
  if (r.inconsistentSeconds) notes.push(`${plural(r.inconsistentSeconds, "second", "seconds")} with more packets lost than counted`);
  return notes.join("; ");
}

const details = document.getElementById("match-details");
const pending = new Map();
for (const match of matches) {
  const r = match.report;
  const section = el("section", {id: "match-" + r.number, class: "match"},
    el("h3", null, `Match ${r.number}: ${r.start} UTC on ${r.server}` + (r.matchGuid ? ` (${r.matchGuid})` : "")),
    el("p", {class: "verdict " + r.verdict}, r.reason),
    el("p", {class: "notes"}, notesOf(r)));
  if (r.events.length) {
    const table = el("table", {class: "events"});
    tableOf(table, ["event", "from", "clock (UTC)", "length", "worst"],
      r.events.map((e) => [[KIND_LABELS[e.kind], "text"], [matchTime(e.offsetSeconds)], [e.start, "text"],
                           [e.lengthSeconds + " s"], [worstText(e), "text"]]));
    section.append(el("div", {class: "scroll"}, table));
  }
  const holders = CHARTS.map(() => el("div", {class: "chart"}));
  section.append(...holders);
  details.append(section);
  pending.set(section, () => CHARTS.forEach((layout, i) => matchChart(holders[i], match, layout)));
}

// Count the charts whose canvas holds painted pixels, for a check from outside.
function markDrawn() {
  requestAnimationFrame(() => requestAnimationFrame(() => {
    let drawn = 0;
    for (const canvas of document.querySelectorAll(".chart canvas")) {
      const pixels = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      for (let i = 3; i < pixels.length; i += 4) {
        if (pixels[i] !== 0) { drawn++; break; }
      }
    }
    document.body.dataset.chartsDrawn = String(drawn);
  }));
}

function draw(section) {
  const make = pending.get(section);
  if (make) {
    pending.delete(section);
    make();
    markDrawn();
  }
}

// A long report draws a match's charts when it comes near the screen.
const EAGER_MATCHES = 12;
if (matches.length <= EAGER_MATCHES || !("IntersectionObserver" in window)) {
  for (const section of pending.keys()) draw(section);
} else {
  const observer = new IntersectionObserver((entries) => {
    for (const entry of entries) {
      if (entry.isIntersecting) {
        observer.unobserve(entry.target);
        draw(entry.target);
      }
    }
  }, {rootMargin: "800px"});
  for (const section of pending.keys()) observer.observe(section);
}
markDrawn();

// Charts follow their box's width: the window's, a phone's, or after a scroll bar
// appears.
function fitCharts() {
  for (const chart of charts) {
    const width = chart.root.parentNode.clientWidth;
    if (width > 0 && Math.abs(width - chart.width) > 1) chart.setSize({width, height: chartHeight()});
  }
}
let resizeTimer = 0;
const refit = () => {
  clearTimeout(resizeTimer);
  resizeTimer = setTimeout(fitCharts, 50);
};
if ("ResizeObserver" in window) new ResizeObserver(refit).observe(document.body);
window.addEventListener("resize", refit);

document.getElementById("legend").textContent =
  "Times are UTC. Shaded bands mark events: ping spikes (blue), loss bursts (red), FPS drops (green), " +
  "input buffer above target (brown), seconds without a value or without a row (grey). Dashed lines are " +
  "the levels a spike or drop is measured against; dotted red lines the limits of the verdict, where the " +
  "data reaches them. " + report.thresholdsNote;
