"use strict";
// Lays out the page from the JSON blocks the report wrote: the table of matches in
// "match-rows" blocks (each with its texts once and its rows as places in them), one
// "match-data" block per match with charts, and the "report-data" block with the
// files, the servers and the page's texts. Every text shown comes made with the data
// (the same texts as the table and the JSON); this script only places them, and draws
// the charts. Every text from the data goes in as text, never as markup.

const report = JSON.parse(document.getElementById("report-data").textContent);
const matches = Array.from(document.querySelectorAll("script.match-data"),
  (block) => JSON.parse(block.textContent)).sort((a, b) => a.report.number - b.report.number);
const charted = new Set(matches.map((m) => m.report.number));
// Every match's row, by number: [row, the texts its places point into].
const tableRows = [];
for (const block of document.querySelectorAll("script.match-rows")) {
  const {texts, rows} = JSON.parse(block.textContent);
  for (const row of rows) tableRows.push([row, texts]);
}

// Opened as page.html#check (by the project's tests), the page reports what it drew
// on <body>: data-errors, data-charts-drawn, and data-bands on each chart.
const CHECKING = location.hash === "#check";

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

function tableOf(table, titles, rows) {
  table.append(el("tr", null, ...titles.map((title) => el("th", null, title))));
  for (const cells of rows) {
    table.append(el("tr", null, ...cells.map(([content, cls]) => el("td", cls ? {class: cls} : null, content))));
  }
}

// --- Headline: one line per file, and what the page leaves out.
function layOutHeadline() {
  document.title = report.title;
  document.getElementById("title").textContent = report.title;
  const headline = document.getElementById("headline");
  headline.append(el("p", {class: "conclusion " + report.conclusion.side}, "Overall: " + report.conclusion.text));
  for (const file of report.files) {
    headline.append(el("p", {class: "headline" + (file.refused ? " incomplete" : "")}, file.headline));
  }
  if (report.chartsNote) headline.append(el("p", {class: "charts-note"}, report.chartsNote));
  tableOf(document.getElementById("server-table"), report.table.serverColumns,
    report.servers.map((s) => s.texts.cells.map((text, i) => [text, i === 0 || i === 6 ? "text" : null])));
}

// --- The table of matches, a page of rows at a time however many there are: two rows
// a match, its figures and then its verdict across the table. A match with charts on
// this page links to them.
const TABLE_PAGE = 100;
const count = (n) => n.toLocaleString("en-US");

function matchRows(row, texts, titles, found) {
  const number = row[0];
  const cells = [el("td", null, charted.has(number) ? el("a", {href: "#match-" + number}, String(number)) : String(number))];
  for (let i = 1; i < titles.length; i++) {
    cells.push(el("td", i === 1 || i === 3 ? {class: "text"} : null, texts[row[i]]));
  }
  const [side, reason] = [texts[row[titles.length]], texts[row[titles.length + 1]]];
  return [el("tr", {class: "figures" + (found ? " found" : "")}, ...cells),
          el("tr", {class: "verdict-row"}, el("td", null),
             el("td", {class: "text reason " + side, colspan: String(titles.length - 1)}, reason))];
}

function layOutMatchTable() {
  const table = document.getElementById("match-table");
  const titles = report.table.matchColumns;
  const pages = Math.max(1, Math.ceil(tableRows.length / TABLE_PAGE));
  const status = el("span", {class: "pager-status"});
  const show = (page, foundNumber) => {
    page = Math.min(Math.max(page, 0), pages - 1);
    const first = page * TABLE_PAGE;
    const shown = tableRows.slice(first, first + TABLE_PAGE);
    table.replaceChildren(el("tr", null, ...titles.map((title) => el("th", null, title))),
      ...shown.flatMap(([row, texts]) => matchRows(row, texts, titles, row[0] === foundNumber)));
    status.textContent = `matches ${count(first + 1)}\u2013${count(first + shown.length)} of ${count(tableRows.length)}`;
    table.dataset.page = String(page);
  };
  show(0);
  if (pages === 1) return;
  const button = (label, page) => {
    const b = el("button", {type: "button"}, label);
    b.addEventListener("click", () => show(page(Number(table.dataset.page))));
    return b;
  };
  const find = el("input", {type: "number", min: "1", placeholder: "#", "aria-label": "match number"});
  const go = () => {
    const wanted = Number(find.value);
    let low = 0, high = tableRows.length - 1;  // the first row at or after the number
    while (low < high) {
      const mid = (low + high) >> 1;
      if (tableRows[mid][0][0] < wanted) low = mid + 1; else high = mid;
    }
    show(Math.floor(low / TABLE_PAGE), wanted);
  };
  find.addEventListener("keydown", (event) => { if (event.key === "Enter") go(); });
  const goButton = el("button", {type: "button"}, "go");
  goButton.addEventListener("click", go);
  table.closest("section").insertBefore(el("div", {class: "pager"},
    button("\u00ab first", () => 0), button("\u2039 previous", (p) => p - 1), status,
    button("next \u203a", (p) => p + 1), button("last \u00bb", () => pages - 1),
    el("label", null, "match ", find), goButton), table.parentNode);
}

// --- Charts.
const charts = [];
const narrow = () => window.innerWidth < 700;
const chartHeight = () => (narrow() ? 170 : 220);
const NONE = "\u2013";
const clockOf = (epochSeconds) => new Date(epochSeconds * 1000).toISOString().slice(11, 19);
const withUnit = (unit) => (u, v) => (v === null || v === undefined ? NONE : `${v} ${unit}`);

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
      Object.assign({label: "ping median", value: withUnit("ms")}, bars(-1, "#1f77b4")),
      Object.assign({label: "ping p95", value: withUnit("ms")}, bars(1, "#aec7e8")),
      {label: "lost in", scale: "loss", stroke: "#d62728", width: 2, value: withUnit("%")},
    ],
  };
  charts.push(new uPlot(options, [index, servers.map((s) => s.pingMedianMs),
    servers.map((s) => s.pingP95Ms), servers.map((s) => s.lossInPercent)], holder));
}

// How the player's connection and frame rate went day by day, when there are several.
function layOutDays() {
  const days = report.days;
  if (days.length < 2) return;
  document.getElementById("days").hidden = false;
  if (report.daysNote) document.getElementById("days-note").textContent = report.daysNote;
  tableOf(document.getElementById("day-table"), report.table.dayColumns,
    days.map((d) => d.texts.cells.map((text, i) => [text, i === 0 || i === 6 ? "text" : null])));
  const holder = document.getElementById("day-chart");
  const index = days.map((_, i) => i);
  const options = {
    title: "Day by day: ping (ms) and FPS",
    width: holder.clientWidth, height: chartHeight(),
    scales: {
      x: {time: false, range: [-0.5, days.length - 0.5]},
      y: {range: (u, min, max) => [0, Math.max(1, max) * 1.15]},
      fps: {range: (u, min, max) => [0, Math.max(1, max) * 1.15]},
    },
    axes: [
      {values: (u, splits) => splits.map((i) => days[i] ? days[i].day : "")},
      {label: "ping (ms)"},
      {scale: "fps", side: 1, label: "FPS", grid: {show: false}},
    ],
    series: [
      {label: "day", value: (u, i) => (i === null || !days[i] ? NONE : days[i].day)},
      {label: "ping median", stroke: "#1f77b4", width: 2, value: withUnit("ms")},
      {label: "ping p95", stroke: "#aec7e8", width: 2, value: withUnit("ms")},
      {label: "FPS", scale: "fps", stroke: "#2ca02c", width: 2, value: (u, v) => (v === null || v === undefined ? NONE : String(Math.round(v)))},
    ],
  };
  charts.push(new uPlot(options, [index, days.map((d) => d.pingMedianMs),
    days.map((d) => d.pingP95Ms), days.map((d) => d.fpsMean)], holder));
}

// Each kind's band colour; a minor event (one that does not count) is drawn fainter.
const BAND_COLORS = {
  pingSpike: [31, 119, 180], unstablePing: [23, 190, 207], lossBurst: [214, 39, 40],
  nothingIn: [148, 103, 189], serverHiccup: [255, 127, 14], fpsDrop: [44, 160, 44],
  stutter: [188, 189, 34], bufferAboveTarget: [140, 86, 75], noValue: [120, 120, 120],
  notRecorded: [120, 120, 120],
};
const bandColor = (e) => `rgba(${BAND_COLORS[e.kind].join(", ")}, ${e.significant ? 0.22 : 0.08})`;

const LIMITS = report.limits;
const CHARTS = [
  {key: "ping", title: "Ping and latency", unit: "ms", bands: ["pingSpike", "unstablePing", "serverHiccup"],
   series: [["Ping", "ping", "#1f77b4"], ["Latency", "latency", "#ff7f0e"]],
   lines: [["spike line", "pingSpike", "#1f77b4"]],
   limits: [[`high ping (p95) ${LIMITS.highPingP95Ms} ms`, LIMITS.highPingP95Ms],
            [`high latency (median) ${LIMITS.highLatencyMedianMs} ms`, LIMITS.highLatencyMedianMs]]},
  {key: "packets", title: "Packets per second", unit: "packets", bands: ["nothingIn"], fromZero: true,
   series: [["In", "packetsIn", "#17becf"], ["Out", "packetsOut", "#7f7f7f"]], lines: []},
  {key: "loss", title: "Packets lost per second", unit: "packets", bands: ["lossBurst"], fromZero: true,
   series: [["Lost in", "lostPacketsIn", "#d62728"], ["Lost out", "lostPacketsOut", "#9467bd"]], lines: []},
  {key: "fps", title: "Frames per second", unit: "FPS", bands: ["fpsDrop", "stutter"],
   series: [["FPS", "fps", "#2ca02c"]], lines: [["drop line", "fpsDrop", "#2ca02c"]],
   limits: [[`low FPS ${LIMITS.lowFps}`, LIMITS.lowFps]]},
  {key: "buffer", title: "Input buffer", unit: "frames", bands: ["bufferAboveTarget"], fromZero: true,
   series: [["Buffer", "buffer", "#8c564b"], ["Target", "bufferTarget", "#7f7f7f"]], lines: []},
];

// The chart's series and data: the time, the layout's statistics, its dashed lines.
function chartSeries(match, layout) {
  const startEpoch = match.report.startEpochSeconds;
  const t = match.series.offset.map((offset) => startEpoch + offset);
  const series = [{
    label: "time (UTC)",
    value: (u, v) => (v === null || v === undefined ? NONE : `${clockOf(v)} (+${v - startEpoch} s)`),
  }];
  const data = [t];
  for (const [label, key, color] of layout.series) {
    series.push({label, stroke: color, width: 1.5, value: withUnit(layout.unit)});
    data.push(match.series[key]);
  }
  for (const [label, key, color] of layout.lines) {
    const level = match.lines[key];
    if (level === null || level === undefined) continue;
    series.push({label: `${label} (${level} ${layout.unit})`, stroke: color, width: 1, dash: [6, 4],
                 points: {show: false}, value: () => `${level} ${layout.unit}`});
    data.push(t.map(() => level));
  }
  return {series, data};
}

function bandX(u, startEpoch, e) {
  const from = startEpoch + e.offsetSeconds;
  return [u.valToPos(from, "x", true), u.valToPos(from + e.lengthSeconds, "x", true)];
}

// Shaded bands under the lines, one per event of the chart's kinds and every stretch
// without values or rows.
function drawBands(u, holder, events, startEpoch) {
  const drawn = [];
  const ctx = u.ctx;
  ctx.save();
  for (const e of events) {
    const [x0, x1] = bandX(u, startEpoch, e);
    ctx.fillStyle = bandColor(e);
    ctx.fillRect(x0, u.bbox.top, Math.max(x1 - x0, 2), u.bbox.height);
    drawn.push(`${e.kind}@${e.offsetSeconds}+${e.lengthSeconds}:${Math.round(x0)}-${Math.round(x1)}`);
  }
  ctx.restore();
  if (CHECKING) holder.dataset.bands = drawn.join(" ");
}

// The bands' labels, and the verdict's limits where they fall inside the data's range.
function drawLabels(u, layout, events, startEpoch) {
  const ctx = u.ctx;
  ctx.save();
  ctx.font = `${Math.round(11 * devicePixelRatio)}px sans-serif`;
  ctx.fillStyle = "#333";
  for (const e of events) {
    if (!layout.bands.includes(e.kind)) continue;
    const [x0] = bandX(u, startEpoch, e);
    ctx.fillStyle = e.significant ? "#222" : "#999";
    ctx.fillText(e.texts.band, x0 + 3, u.bbox.top + 12 * devicePixelRatio);
  }
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
}

function matchChart(holder, match, layout) {
  const startEpoch = match.report.startEpochSeconds;
  const events = match.report.events.filter((e) => layout.bands.includes(e.kind) ||
    e.kind === "noValue" || e.kind === "notRecorded");
  const {series, data} = chartSeries(match, layout);
  const options = {
    title: `${layout.title} (${layout.unit})`,
    width: holder.clientWidth, height: chartHeight(),
    tzDate: (ts) => uPlot.tzDate(new Date(ts * 1000), "Etc/UTC"),
    scales: {y: layout.fromZero ? {range: (u, min, max) => [0, Math.max(1, max) * 1.15]} : {}},
    axes: [{values: (u, splits) => splits.map(clockOf)}, {label: layout.unit}],
    series,
    hooks: {
      drawClear: [(u) => drawBands(u, holder, events, startEpoch)],
      draw: [(u) => drawLabels(u, layout, events, startEpoch)],
    },
  };
  holder.dataset.chart = layout.key;
  charts.push(new uPlot(options, data, holder));
}

// --- One section per match; its charts are drawn when it comes near the screen.
function matchSection(match) {
  const r = match.report;
  const section = el("section", {id: "match-" + r.number, class: "match"},
    el("h3", null, r.texts.title),
    report.files.length > 1 ? el("p", {class: "source"}, r.texts.source) : null,
    el("p", {class: "verdict " + r.verdict}, r.reason),
    r.texts.notes ? el("p", {class: "notes"}, r.texts.notes) : null,
    match.eventsNote ? el("p", {class: "notes"}, match.eventsNote) : null);
  if (r.events.length) {
    const table = el("table", {class: "events"});
    // The events that count first, then the minor ones, fainter.
    const ordered = r.events.filter((e) => e.significant).concat(r.events.filter((e) => !e.significant));
    tableOf(table, ["event", "counts", "from", "clock (UTC)", "length", "worst"],
      ordered.map((e) => [[e.texts.name, "text"], [e.significant ? "yes" : "minor", "text"], [e.texts.from],
                          [e.start, "text"], [e.texts.length], [e.texts.worst, "text"]]));
    Array.from(table.rows).slice(1).forEach((row, i) => {
      if (!ordered[i].significant) row.className = "minor";
    });
    section.append(el("div", {class: "scroll"}, table));
  }
  const holders = CHARTS.map(() => el("div", {class: "chart"}));
  section.append(...holders);
  return {section, draw: () => CHARTS.forEach((layout, i) => matchChart(holders[i], match, layout))};
}

// For the tests: the charts whose canvas holds painted pixels.
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

const EAGER_MATCHES = 12;
function layOutMatches() {
  const details = document.getElementById("match-details");
  const pending = new Map();
  for (const match of matches) {
    const {section, draw} = matchSection(match);
    details.append(section);
    pending.set(section, draw);
  }
  const draw = (section) => {
    const make = pending.get(section);
    if (!make) return;
    pending.delete(section);
    make();
  };
  if (matches.length <= EAGER_MATCHES || !("IntersectionObserver" in window)) {
    for (const section of Array.from(pending.keys())) draw(section);
    return;
  }
  const observer = new IntersectionObserver((entries) => {
    for (const entry of entries) {
      if (!entry.isIntersecting) continue;
      observer.unobserve(entry.target);
      draw(entry.target);
    }
  }, {rootMargin: "800px"});
  for (const section of pending.keys()) observer.observe(section);
}

// Charts follow their box's width: the window's, a phone's, or after a scroll bar
// appears.
function fitCharts() {
  for (const chart of charts) {
    const width = chart.root.parentNode.clientWidth;
    if (width > 0 && Math.abs(width - chart.width) > 1) chart.setSize({width, height: chartHeight()});
  }
}

function followTheWindow() {
  let resizeTimer = 0;
  const refit = () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(fitCharts, 50);
  };
  if ("ResizeObserver" in window) new ResizeObserver(refit).observe(document.body);
  window.addEventListener("resize", refit);
}

if (CHECKING) {
  const errors = [];
  document.body.dataset.errors = "0";
  window.addEventListener("error", (event) => {
    errors.push(String(event.message));
    document.body.dataset.errors = String(errors.length);
  });
}
layOutHeadline();
layOutMatchTable();
serverChart(document.getElementById("server-chart"));
layOutDays();
layOutMatches();
followTheWindow();
document.getElementById("legend").textContent =
  "Times are UTC. " + report.legend.replace(/\n/g, " ") + " Shaded bands mark events, strong when " +
  "they count in the verdict and faint when they are minor: ping spikes (blue), unstable ping (teal), " +
  "server hiccups (orange), nothing coming in (purple), loss bursts (red), FPS drops (green), " +
  "stutter (olive), input buffer above target (brown), seconds without a value or without a row " +
  "(grey). Dashed lines are the levels a spike or drop is measured against; dotted red lines the " +
  "limits of the verdict, where the data reaches them. " + report.thresholdsNote;
if (CHECKING) markDrawn();
