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
  for (const answer of report.conclusions) {
    headline.append(el("p", {class: "conclusion " + answer.side}, answer.texts.line));
  }
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
  const [side, reason, closed] = [texts[row[titles.length]], texts[row[titles.length + 1]],
                                  texts[row[titles.length + 2]]];
  const rows = [el("tr", {class: "figures" + (found ? " found" : "")}, ...cells),
                el("tr", {class: "verdict-row"}, el("td", null),
                   el("td", {class: "text reason " + side, colspan: String(titles.length - 1)}, reason))];
  if (closed) {
    rows.push(el("tr", {class: "verdict-row"}, el("td", null),
                 el("td", {class: "text notes", colspan: String(titles.length - 1)}, closed)));
  }
  return rows;
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

// A chart of figures per group (a server, a day): one x position each, named below it;
// each series as bars beside each other (`bar`: -1 left, 1 right) or as a line, on the
// left axis or on a second one at the right.
function groupChart(holder, {title, names, nameLabel, axes, series}) {
  const index = names.map((_, i) => i);
  const fromZero = {range: (u, min, max) => [0, Math.max(1, max) * 1.15]};
  const scales = {x: {time: false, range: [-0.5, names.length - 0.5]}, y: fromZero};
  const axisList = [{splits: () => index, values: (u, splits) => splits.map((i) => names[i] ?? "")}];
  axes.forEach(([scale, label], i) => {
    scales[scale] = fromZero;
    axisList.push(i === 0 ? {scale, label} : {scale, label, side: 1, grid: {show: false}});
  });
  const options = {
    title, width: holder.clientWidth, height: chartHeight(), scales, axes: axisList,
    series: [{label: nameLabel, value: (u, i) => (i === null || names[i] === undefined ? NONE : names[i])},
      ...series.map(({label, scale, color, bar, format}) => Object.assign(
        {label, scale, stroke: color, width: 2, value: format},
        bar === undefined ? {} : {fill: color, width: 0, points: {show: false},
                                  paths: uPlot.paths.bars({size: [0.35, 60], align: bar})}))],
  };
  charts.push(new uPlot(options, [index, ...series.map((s) => s.values)], holder));
}

const wholeNumber = (u, v) => (v === null || v === undefined ? NONE : String(Math.round(v)));

// Servers side by side: ping in one chart, packets lost each way in another.
function serverCharts(holder) {
  const servers = report.servers;
  if (servers.length === 0) return;
  const names = servers.map((s) => s.serverIp);
  const [pingHolder, lossHolder] = [el("div", {class: "chart"}), el("div", {class: "chart"})];
  holder.append(pingHolder, lossHolder);
  groupChart(pingHolder, {
    title: "Servers compared: ping (ms)", names, nameLabel: "server", axes: [["y", "ping (ms)"]],
    series: [
      {label: "ping median", scale: "y", color: "#1f77b4", bar: -1, values: servers.map((s) => s.pingMedianMs), format: withUnit("ms")},
      {label: "ping p95", scale: "y", color: "#aec7e8", bar: 1, values: servers.map((s) => s.pingP95Ms), format: withUnit("ms")},
    ]});
  groupChart(lossHolder, {
    title: "Servers compared: packets lost (%)", names, nameLabel: "server", axes: [["y", "lost (%)"]],
    series: [
      {label: "lost in", scale: "y", color: "#d62728", bar: -1, values: servers.map((s) => s.lossInPercent), format: withUnit("%")},
      {label: "lost out", scale: "y", color: "#9467bd", bar: 1, values: servers.map((s) => s.lossOutPercent), format: withUnit("%")},
    ]});
}

// How the player's connection and frame rate went day by day, when there are several.
function layOutDays() {
  const days = report.days;
  if (days.length < 2) return;
  document.getElementById("days").hidden = false;
  if (report.daysNote) document.getElementById("days-note").textContent = report.daysNote;
  tableOf(document.getElementById("day-table"), report.table.dayColumns,
    days.map((d) => d.texts.cells.map((text, i) => [text, i === 0 || i === 6 ? "text" : null])));
  groupChart(document.getElementById("day-chart"), {
    title: "Day by day: ping (ms) and FPS", names: days.map((d) => d.day), nameLabel: "day",
    axes: [["y", "ping (ms)"], ["fps", "FPS"]],
    series: [
      {label: "ping median", scale: "y", color: "#1f77b4", values: days.map((d) => d.pingMedianMs), format: withUnit("ms")},
      {label: "ping p95", scale: "y", color: "#aec7e8", values: days.map((d) => d.pingP95Ms), format: withUnit("ms")},
      {label: "FPS", scale: "fps", color: "#2ca02c", values: days.map((d) => d.fpsMean), format: wholeNumber},
    ]});
}

// Each kind's band colour; a minor event (one that does not count) is drawn fainter.
const BAND_COLORS = {
  pingSpike: [31, 119, 180], unstablePing: [23, 190, 207], lossBurst: [214, 39, 40],
  steadyLoss: [255, 152, 150], nothingIn: [148, 103, 189], outage: [90, 50, 130],
  serverHiccup: [255, 127, 14], fpsDrop: [44, 160, 44],
  stutter: [188, 189, 34], bufferAboveTarget: [140, 86, 75], noValue: [120, 120, 120],
  notRecorded: [120, 120, 120],
};
const bandColor = (e) => `rgba(${BAND_COLORS[e.kind].join(", ")}, ${e.significant ? 0.22 : 0.08})`;

const LIMITS = report.limits;
const CHARTS = [
  {key: "ping", title: "Ping and latency", unit: "ms", bands: ["pingSpike", "unstablePing", "serverHiccup"],
   // Latency first, wider and paler, so that ping stays in sight on top where they meet.
   series: [["Latency", "latency", "rgba(255, 127, 14, 0.7)", 3], ["Ping", "ping", "#1f77b4"]],
   lines: [["spike line", "pingSpike", "#1f77b4"]],
   limits: [[`high ping (p95) ${LIMITS.highPingP95Ms} ms`, LIMITS.highPingP95Ms],
            [`high latency (median) ${LIMITS.highLatencyMedianMs} ms`, LIMITS.highLatencyMedianMs]]},
  {key: "packets", title: "Packets per second", unit: "packets", bands: ["nothingIn", "outage"], fromZero: true,
   series: [["In", "packetsIn", "#17becf"], ["Out", "packetsOut", "#7f7f7f"]], lines: []},
  {key: "loss", title: "Packets lost per second", unit: "packets", bands: ["lossBurst", "steadyLoss"], fromZero: true,
   series: [["Lost in", "lostPacketsIn", "#d62728"], ["Lost out", "lostPacketsOut", "#9467bd"]], lines: []},
  {key: "fps", title: "Frames per second", unit: "FPS", bands: ["fpsDrop", "stutter"],
   series: [["FPS", "fps", "#2ca02c"]], lines: [["drop line", "fpsDrop", "#2ca02c"]],
   limits: [[`low FPS ${LIMITS.lowFps}`, LIMITS.lowFps]]},
  {key: "buffer", title: "Input buffer", unit: "frames", bands: ["bufferAboveTarget"], fromZero: true,
   series: [["Buffer", "buffer", "#8c564b"], ["Target", "bufferTarget", "#7f7f7f"]], lines: []},
];

// The chart's series and data: the time, then the layout's statistics.
function chartSeries(match, layout) {
  const startEpoch = match.report.startEpochSeconds;
  const t = match.series.offset.map((offset) => startEpoch + offset);
  const series = [{
    label: "time (UTC)",
    value: (u, v) => (v === null || v === undefined ? NONE : `${clockOf(v)} (+${v - startEpoch} s)`),
  }];
  const data = [t];
  for (const [label, key, color, width] of layout.series) {
    series.push({label, stroke: color, width: width || 1.5, value: withUnit(layout.unit)});
    data.push(match.series[key]);
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

const MAX_LABEL_ROWS = 3;

// A label on a chart, on a pale ground so that lines behind it do not cross it out;
// `drawn` gets the box the text took, as the canvas placed it.
function label(ctx, text, x, baseline, color, drawn) {
  const size = parseInt(ctx.font, 10);
  const width = ctx.measureText(text).width;
  ctx.fillStyle = "rgba(255, 255, 255, 0.75)";
  ctx.fillRect(x - 1, baseline - size, width + 2, size + 3);
  ctx.fillStyle = color;
  ctx.fillText(text, x, baseline);
  const shift = {left: 0, start: 0, center: width / 2, right: width, end: width}[ctx.textAlign];
  drawn.push([x - shift, baseline - size, width, size].map(Math.round));
}

// Tops for labels `height` high, wanted at `wanted` (sorted down the chart), moved
// down just enough that none overlaps the one above, and all up again where the last
// would leave the chart.
function stackLabels(wanted, height, top, bottom) {
  const placed = [];
  for (const y of wanted) placed.push(Math.max(y, top, placed.length ? placed[placed.length - 1] + height : top));
  for (let i = placed.length - 1, limit = bottom - height; i >= 0 && placed[i] > limit; i--, limit -= height) {
    placed[i] = limit;
  }
  return placed;
}

// The bands' labels, inside the plot and in rows where they would overlap; then the
// levels the chart is judged by (its dashed lines and the verdict's limits where the data
// reaches them), each named at the right, their names never on top of each other.
function drawLabels(u, layout, events, startEpoch, lines) {
  const ctx = u.ctx;
  const {left, top, width, height} = u.bbox;
  const lineHeight = 13 * devicePixelRatio;
  ctx.save();
  ctx.beginPath();
  ctx.rect(left, top, width, height);
  ctx.clip();
  ctx.font = `${Math.round(11 * devicePixelRatio)}px sans-serif`;
  // The chart library leaves its last axis' alignment behind (right-aligned figures).
  ctx.textAlign = "left";
  ctx.textBaseline = "alphabetic";
  // Labels of the events that count first; a label with no room in the top rows is left
  // out (its event stays in the table), so that labels never cover the lines.
  const drawn = [];
  const rows = [];  // the [from, to] taken in each row
  const labelled = events.filter((e) => layout.bands.includes(e.kind))
    .sort((a, b) => Number(b.significant) - Number(a.significant));
  for (const e of labelled) {
    const textWidth = ctx.measureText(e.texts.band).width;
    const x = Math.min(Math.max(bandX(u, startEpoch, e)[0], left) + 3, left + width - textWidth - 3);
    const free = (taken) => taken.every(([from, to]) => x + textWidth + 6 < from || to < x);
    let row = rows.findIndex(free);
    if (row < 0 && rows.length < MAX_LABEL_ROWS) row = rows.push([]) - 1;
    if (row < 0) continue;
    rows[row].push([x, x + textWidth + 6]);
    label(ctx, e.texts.band, x, top + (row + 1) * lineHeight - 2, e.significant ? "#222" : "#888", drawn);
  }
  const [low, high] = [u.scales.y.min, u.scales.y.max];
  const shown = lines.filter(([, level]) => level >= low && level <= high)
    .map(([text, level, color, dash]) => ({text, color, dash, y: u.valToPos(level, "y", true)}))
    .sort((a, b) => a.y - b.y);
  const tops = stackLabels(shown.map((l) => l.y - lineHeight), lineHeight, top, top + height);
  for (const {color, dash, y} of shown) {
    ctx.strokeStyle = color;
    ctx.setLineDash(dash);
    ctx.beginPath();
    ctx.moveTo(left, y);
    ctx.lineTo(left + width, y);
    ctx.stroke();
  }
  shown.forEach(({text, color}, i) => {
    label(ctx, text, left + width - ctx.measureText(text).width - 4, tops[i] + lineHeight - 3, color, drawn);
  });
  ctx.restore();
  if (CHECKING) u.root.parentNode.dataset.labels = JSON.stringify({plot: [left, top, width, height], drawn});
}

const DASHED = [6, 4];

// The y range of a match's chart: from zero for counts, else the data's; with room for
// the dashed lines, so that the level a spike or drop is measured against stays in sight.
function valueRange(layout, min, max, dashed) {
  if (min === null || max === null) [min, max] = [0, 1];
  const low = layout.fromZero ? 0 : Math.min(min, ...dashed);
  const high = Math.max(layout.fromZero ? 1 : min + 1, max, ...dashed);
  const pad = layout.fromZero ? 0.15 * high : 0.08 * (high - low);
  return [layout.fromZero ? 0 : low - pad, high + pad];
}

// The horizontal lines of a match's chart: [label, level, colour, dash].
function levelLines(match, layout) {
  const lines = [];
  for (const [label, key, color] of layout.lines) {
    const level = match.lines[key];
    if (level !== null && level !== undefined) lines.push([`${label} ${level} ${layout.unit}`, level, color, DASHED]);
  }
  for (const [label, level] of layout.limits || []) lines.push([label, level, "#b02a2a", [2, 3]]);
  return lines;
}

function matchChart(holder, match, layout) {
  const startEpoch = match.report.startEpochSeconds;
  const events = match.report.events.filter((e) => layout.bands.includes(e.kind) ||
    e.kind === "noValue" || e.kind === "notRecorded");
  const {series, data} = chartSeries(match, layout);
  const lines = levelLines(match, layout);
  const dashed = lines.filter(([, , , dash]) => dash === DASHED).map(([, level]) => level);
  const options = {
    title: `${layout.title} (${layout.unit})`,
    width: holder.clientWidth, height: chartHeight(),
    tzDate: (ts) => uPlot.tzDate(new Date(ts * 1000), "Etc/UTC"),
    scales: {y: {range: (u, min, max) => valueRange(layout, min, max, dashed)}},
    axes: [{values: (u, splits) => splits.map(clockOf)}, {label: layout.unit}],
    series,
    hooks: {
      drawClear: [(u) => drawBands(u, holder, events, startEpoch)],
      draw: [(u) => drawLabels(u, layout, events, startEpoch, lines)],
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
serverCharts(document.getElementById("server-chart"));
layOutDays();
layOutMatches();
followTheWindow();
document.getElementById("legend").textContent =
  "Times are UTC. " + report.legend.replace(/\n/g, " ") + " Shaded bands mark events, strong when " +
  "they count in the verdict and faint when they are minor: ping spikes (blue), unstable ping (teal), " +
  "server hiccups (orange), nothing coming in (purple), outages (dark purple), loss bursts (red), " +
  "steady loss (pink), FPS drops (green), " +
  "stutter (olive), input buffer above target (brown), seconds without a value or without a row " +
  "(grey). Dashed lines are the levels a spike or drop is measured against; dotted red lines the " +
  "limits of the verdict, where the data reaches them. " + report.thresholdsNote;
if (CHECKING) markDrawn();
