"use strict";
// Lays out the page from the JSON blocks the report wrote: the table of matches in
// "match-rows" blocks (each with its texts once and its rows as places in them), one
// "match-data" block per match with charts, and the "report-data" block with the
// files, the servers, the page's texts and its layout (the charts, their lines, labels
// and colours, the legend). Every text shown comes made with the data (the same texts
// as the table and the JSON); this script only places them, and draws the charts.
// Every text from the data goes in as text, never as markup.

const report = JSON.parse(document.getElementById("report-data").textContent);
const LAYOUT = report.layout;
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
// on <body>: data-errors, data-charts-drawn, data-first-screen (where the answer and the
// strip end), data-labels (the first screen's labels), and data-bands on each chart;
// #check-links also follows every link of the strip and reports data-strip-links.
const CHECKING = location.hash.startsWith("#check");
const CHECK_LINKS = location.hash === "#check-links";
const SCREEN = report.firstScreen;

// --- Clock times in the viewer's own time zone, as the browser knows it; UTC on hover.
const pad = (n) => String(n).padStart(2, "0");
function localClock(seconds) {
  const d = new Date(seconds * 1000);
  return `${String(d.getFullYear()).padStart(4, "0")}-${pad(d.getMonth() + 1)}-${pad(d.getDate())} ` +
    `${pad(d.getHours())}:${pad(d.getMinutes())}:${pad(d.getSeconds())}`;
}
const utcClock = (seconds) => new Date(seconds * 1000).toISOString().slice(0, 19).replace("T", " ");
const localTimeOfDay = (seconds) => localClock(seconds).slice(11);
// "Europe/Berlin (UTC+1)", its offset at `seconds`.
function zoneName(seconds) {
  const id = Intl.DateTimeFormat().resolvedOptions().timeZone || "";
  const minutes = -new Date(seconds * 1000).getTimezoneOffset();
  const offset = minutes === 0 ? "UTC" : `UTC${minutes > 0 ? "+" : "\u2212"}${Math.floor(Math.abs(minutes) / 60)}` +
    (Math.abs(minutes) % 60 ? `:${pad(Math.abs(minutes) % 60)}` : "");
  return id && id !== "UTC" && id !== "Etc/UTC" ? `${id} (${offset})` : offset;
}
// The viewer's zone at the latest match: the page's times are in it.
const ZONE = zoneName(SCREEN.strip.length ? SCREEN.strip[SCREEN.strip.length - 1][1] : Date.now() / 1000);
// A clock time as the viewer lives it, with UTC a hover away.
function timeElement(seconds) {
  const iso = new Date(seconds * 1000).toISOString().replace(".000Z", "Z");
  return el("time", {datetime: iso, title: utcClock(seconds) + " UTC"}, localClock(seconds));
}

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

// A table of groups (servers, days): each column's title, each group's cells, texts
// kept to the left.
function groupTable(table, columns, groups) {
  tableOf(table, columns.map((column) => column.title),
    groups.map((g) => g.texts.cells.map((text, i) => [text, columns[i].text ? "text" : null])));
}

// What may help, as a line of tips.
function tipsList(tips) {
  if (!tips || tips.length === 0) return null;
  return el("ul", {class: "tips"}, el("b", null, SCREEN.tipsHeading + ":"), ...tips.map((tip) => el("li", null, tip.text)));
}

// The note for a server's host, ready to copy.
function forHostBox(text) {
  if (!text) return null;
  const area = el("textarea", {readonly: "", rows: "6", "aria-label": SCREEN.forHostHeading}, text);
  const copy = el("button", {type: "button"}, SCREEN.copyButton);
  copy.addEventListener("click", () => {
    area.select();
    if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => document.execCommand("copy"));
    else document.execCommand("copy");
  });
  return el("details", {class: "for-host"}, el("summary", null, SCREEN.forHostHeading), area, copy);
}

// --- The first screen: the answer and what may help, the verdicts counted, the matches
// as a strip over time, the servers compared; then a line per file.
function layOutAnswer() {
  document.title = report.title;
  document.getElementById("title").textContent = report.title;
  const answer = document.getElementById("answer");
  for (const conclusion of report.conclusions) {
    answer.append(...[el("p", {class: "conclusion " + conclusion.side}, conclusion.texts.line),
      tipsList(conclusion.whatToTry), forHostBox(conclusion.forHost)].filter(Boolean));
  }
  const counts = document.getElementById("counts");
  for (const {cause, text} of SCREEN.verdictCounts) {
    counts.append(el("span", {class: "count label"},
      el("span", {class: "swatch", style: `background: ${LAYOUT.verdictColors[cause]}`}), text));
  }
}

// The row of the table of matches of this number: [row, texts], or undefined.
function tableRowOf(number) {
  let low = 0, high = tableRows.length - 1;
  while (low < high) {
    const mid = (low + high) >> 1;
    if (tableRows[mid][0][0] < number) low = mid + 1; else high = mid;
  }
  return tableRows[low] && tableRows[low][0][0] === number ? tableRows[low] : undefined;
}

// The latest matches in time order, a cell each coloured by its verdict and linking to
// it, grouped by the viewer's days, each day named below where there is room.
function layOutStrip() {
  const strip = document.getElementById("strip");
  document.getElementById("strip-heading").textContent = SCREEN.stripHeading;
  if (SCREEN.stripNote) document.getElementById("strip-note").textContent = SCREEN.stripNote;
  const reasonColumn = report.table.matchColumns.length + 1;
  const days = [];
  for (const [number, start, length, cause] of SCREEN.strip) {
    const day = localClock(start).slice(0, 10);
    if (!days.length || days[days.length - 1].day !== day) days.push({day, cells: []});
    const found = tableRowOf(number);
    const reason = found ? found[1][found[0][reasonColumn]] : cause;
    days[days.length - 1].cells.push(el("a", {class: "strip-match", href: "#match-" + number,
      style: `background: ${LAYOUT.verdictColors[cause]}`,
      title: `#${number} ${localClock(start)} (${utcClock(start)} UTC), ${Math.round(length / 60)} min: ${reason}`}));
  }
  for (const {day, cells} of days) {
    const weekday = new Date(day + "T12:00:00").toLocaleDateString("en-GB", {weekday: "short"});
    strip.append(el("div", {class: "strip-day", style: `flex: ${cells.length} 1 0`},
      el("div", {class: "strip-cells"}, ...cells), el("span", {class: "strip-label label"}, `${weekday} ${day.slice(5)}`)));
  }
  document.getElementById("zone-note").textContent = LAYOUT.zoneNote.replace("{zone}", ZONE);
}

// A day's name shows only where it fits under its matches, so no name lies on another.
function fitStripLabels() {
  for (const label of document.querySelectorAll(".strip-label")) {
    label.style.visibility = "";
    if (label.scrollWidth > label.parentNode.clientWidth) label.style.visibility = "hidden";
  }
}

// The servers side by side on the figure their problems were about, each with its value.
function layOutComparison() {
  const servers = SCREEN.servers;
  if (!servers.length) return;
  document.getElementById("compare-heading").textContent = SCREEN.comparisonTitle;
  const compare = document.getElementById("compare");
  const most = Math.max(...servers.map((s) => s.value), 1e-9);
  for (const s of servers) {
    const color = s.blamed ? LAYOUT.verdictColors.server : "";
    compare.append(el("span", {class: "bar-name label" + (s.blamed ? " blamed" : "")}, s.serverIp),
      el("span", {class: "bar"}, el("span", {class: "bar-fill", style: `width: ${(100 * s.value / most).toFixed(1)}%` + (color ? `; background: ${color}` : "")})),
      el("span", {class: "bar-value label" + (s.blamed ? " blamed" : "")}, s.text),
      el("span", {class: "bar-verdicts"}, s.verdicts));
  }
  if (SCREEN.serversNote) compare.append(el("span", {class: "bar-verdicts", style: "grid-column: 1 / -1"}, SCREEN.serversNote));
}

function layOutHeadline() {
  const headline = document.getElementById("headline");
  for (const file of report.files) {
    headline.append(el("p", {class: "headline" + (file.refused ? " incomplete" : "")}, file.headline));
  }
  if (report.chartsNote) headline.append(el("p", {class: "charts-note"}, report.chartsNote));
  if (report.serversNote) document.getElementById("servers-note").textContent = report.serversNote;
  groupTable(document.getElementById("server-table"), report.table.serverColumns, report.servers);
}

// --- The table of matches, a page of rows at a time however many there are: two rows
// a match, its figures and then its verdict across the table. A match with charts on
// this page links to them.
const TABLE_PAGE = 100;
const count = (n) => n.toLocaleString("en-US");

function matchRows(row, texts, columns, found) {
  const number = row[0];
  const cells = [el("td", null, charted.has(number) ? el("a", {href: "#match-" + number}, String(number)) : String(number))];
  for (let i = 1; i < columns.length; i++) {
    cells.push(el("td", columns[i].text ? {class: "text"} : null,
      columns[i].zoneTitle ? timeElement(row[i]) : texts[row[i]]));
  }
  const [side, reason, closed] = [texts[row[columns.length]], texts[row[columns.length + 1]],
                                  texts[row[columns.length + 2]]];
  const rows = [el("tr", {class: "figures" + (found ? " found" : ""), "data-match": String(number)}, ...cells),
                el("tr", {class: "verdict-row"}, el("td", null),
                   el("td", {class: "text reason " + side, colspan: String(columns.length - 1)}, reason))];
  if (closed) {
    rows.push(el("tr", {class: "verdict-row"}, el("td", null),
                 el("td", {class: "text notes", colspan: String(columns.length - 1)}, closed)));
  }
  return rows;
}

// Shows the page of the table that holds a match, the match marked (set by
// layOutMatchTable).
let showInTable = () => {};
const columnTitle = (column) => (column.zoneTitle ? column.zoneTitle.replace("{zone}", ZONE) : column.title);

function layOutMatchTable() {
  const table = document.getElementById("match-table");
  const columns = report.table.matchColumns;
  const pages = Math.max(1, Math.ceil(tableRows.length / TABLE_PAGE));
  const status = el("span", {class: "pager-status"});
  const show = (page, foundNumber) => {
    page = Math.min(Math.max(page, 0), pages - 1);
    const first = page * TABLE_PAGE;
    const shown = tableRows.slice(first, first + TABLE_PAGE);
    table.replaceChildren(el("tr", null, ...columns.map((column) => el("th", null, columnTitle(column)))),
      ...shown.flatMap(([row, texts]) => matchRows(row, texts, columns, row[0] === foundNumber)));
    status.textContent = `matches ${count(first + 1)}\u2013${count(first + shown.length)} of ${count(tableRows.length)}`;
    table.dataset.page = String(page);
  };
  show(0);
  showInTable = (number) => {
    const at = tableRows.findIndex(([row]) => row[0] === number);
    if (at >= 0) show(Math.floor(at / TABLE_PAGE), number);
    return table.querySelector(`tr[data-match="${number}"]`);
  };
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
// A legend's value under the cursor; away from the chart, the range the series spans, so
// that a legend always shows values.
function rangeOf(values) {
  const present = values.filter((v) => v !== null && v !== undefined);
  return present.length ? [Math.min(...present), Math.max(...present)] : null;
}
const withUnit = (unit, values) => {
  const range = rangeOf(values);
  const words = (v) => `${Math.round(v * 10) / 10}${unit ? " " + unit : ""}`;
  return (u, v) => {
    if (v !== null && v !== undefined) return words(v);
    if (!range) return NONE;
    return range[0] === range[1] ? words(range[0]) : `${words(range[0])}\u2013${words(range[1])}`;
  };
};

// A chart of figures per group (a server, a day): one x position each, named below it;
// each series as bars beside each other (`bar`: -1 left, 1 right) or as a line, on the
// left axis or on a second one at the right. `layout` names the chart, its axes and its
// series (each a field of the groups' entries, with its unit); `nameOf` a group.
function groupChart(holder, layout, groups, nameOf) {
  const {title, nameLabel, axes} = layout;
  const names = groups.map(nameOf);
  const series = layout.series.map(({label, scale, color, bar, field, unit}) => {
    const values = groups.map((g) => g[field]);
    return {label, scale, color, bar, values, format: withUnit(unit, values)};
  });
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
    series: [{label: nameLabel, value: (u, i) => (i === null || names[i] === undefined
      ? (names.length > 1 ? `${names[0]} \u2026 ${names[names.length - 1]}` : names[0] ?? NONE) : names[i])},
      ...series.map(({label, scale, color, bar, format}) => Object.assign(
        {label, scale, stroke: color, width: 2, value: format},
        bar === undefined ? {} : {fill: color, width: 0, points: {show: false},
                                  paths: uPlot.paths.bars({size: [0.35, 60], align: bar})}))],
  };
  charts.push(new uPlot(options, [index, ...series.map((s) => s.values)], holder));
}

// Servers side by side: a chart each as the layout says (ping, packets lost each way).
function serverCharts(holder) {
  const servers = report.servers;
  if (servers.length === 0) return;
  const holders = LAYOUT.serverCharts.map(() => el("div", {class: "chart"}));
  holder.append(...holders);
  LAYOUT.serverCharts.forEach((layout, i) => groupChart(holders[i], layout, servers, (s) => s.serverIp));
}

// How the player's connection and frame rate went day by day, when there are several.
function layOutDays() {
  const days = report.days;
  if (days.length < 2) return;
  document.getElementById("days").hidden = false;
  if (report.daysNote) document.getElementById("days-note").textContent = report.daysNote;
  groupTable(document.getElementById("day-table"), report.table.dayColumns, days);
  groupChart(document.getElementById("day-chart"), LAYOUT.dayChart, days, (d) => d.day);
}

// Each kind's band colour, as the layout gives it; a minor event (one that does not
// count) is drawn fainter.
const bandColor = (e) => `rgba(${LAYOUT.bandColors[e.kind].join(", ")}, ${e.significant ? 0.22 : 0.08})`;

// A match's charts, as the layout gives them: title, unit, the kinds shaded, the
// statistics drawn (label, key, colour, width), the verdict's limits.
const CHARTS = LAYOUT.matchCharts;

// The chart's series and data: the time, then the layout's statistics.
function chartSeries(match, layout) {
  const startEpoch = match.report.startEpochSeconds;
  const t = match.series.offset.map((offset) => startEpoch + offset);
  const span = t.length ? `${localTimeOfDay(t[0])}\u2013${localTimeOfDay(t[t.length - 1])}` : NONE;
  const series = [{
    label: `time (${ZONE})`,
    value: (u, v) => (v === null || v === undefined ? span
      : `${localTimeOfDay(v)} (${utcClock(v).slice(11)} UTC, +${v - startEpoch} s)`),
  }];
  const data = [t];
  for (const {label, key, color, width} of layout.lines) {
    series.push({label, stroke: color, width, value: withUnit(layout.unit, match.series[key])});
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

// The horizontal lines of a match's chart: [label, level, colour, dash]; the levels it
// is measured against dashed, the verdict's limits dotted.
function levelLines(match, layout) {
  const lines = match.lines.filter((line) => line.chart === layout.key)
    .map(({text, level, color}) => [text, level, color, DASHED]);
  for (const {text, level} of layout.limits) lines.push([text, level, LAYOUT.limitColor, [2, 3]]);
  return lines;
}

function matchChart(holder, match, layout) {
  const startEpoch = match.report.startEpochSeconds;
  const events = match.report.events.filter((e) => layout.bands.includes(e.kind) ||
    LAYOUT.onEveryChart.includes(e.kind));
  const {series, data} = chartSeries(match, layout);
  const lines = levelLines(match, layout);
  const dashed = lines.filter(([, , , dash]) => dash === DASHED).map(([, level]) => level);
  const options = {
    title: `${layout.title} (${layout.unit})`,
    width: holder.clientWidth, height: chartHeight(),
    scales: {y: {range: (u, min, max) => valueRange(layout, min, max, dashed)}},
    axes: [{values: (u, splits) => splits.map(localTimeOfDay)}, {label: layout.unit}],
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
    el("h3", null, r.heading[0] + ": ", timeElement(r.startEpochSeconds), " " + r.heading[1]),
    report.files.length > 1 ? el("p", {class: "source"}, r.texts.source) : null,
    el("p", {class: "verdict " + r.verdict}, r.reason),
    tipsList(r.whatToTry), forHostBox(match.forHost),
    r.texts.notes ? el("p", {class: "notes"}, r.texts.notes) : null,
    match.eventsNote ? el("p", {class: "notes"}, match.eventsNote) : null);
  if (r.events.length) {
    const table = el("table", {class: "events"});
    // The events that count first, then the minor ones, fainter.
    const ordered = r.events.filter((e) => e.significant).concat(r.events.filter((e) => !e.significant));
    tableOf(table, ["event", "counts", "from", `clock (${ZONE})`, "length", "worst"],
      ordered.map((e) => [[e.texts.name, "text"], [e.significant ? "yes" : "minor", "text"], [e.texts.from],
                          [timeElement(r.startEpochSeconds + e.offsetSeconds), "text"], [e.texts.length], [e.texts.worst, "text"]]));
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

// A link to a match (#match-N) shows it: its section when it has charts, else its row,
// on the page of the table that holds it.
function goToMatch() {
  const wanted = /^#match-(\d+)$/.exec(location.hash);
  if (!wanted) return null;
  const number = Number(wanted[1]);
  const target = document.getElementById("match-" + number) || showInTable(number);
  if (target) target.scrollIntoView({block: "start"});
  return target;
}

// For the tests: where the answer and the strip end against the window, and the boxes
// the first screen's labels take.
function markFirstScreen() {
  const bottom = (id) => Math.ceil(document.getElementById(id).getBoundingClientRect().bottom + window.scrollY);
  const labels = Array.from(document.querySelectorAll("#first-screen .label"))
    .filter((node) => node.style.visibility !== "hidden" && node.getClientRects().length)
    .map((node) => {
      const box = node.getBoundingClientRect();
      return [box.left, box.top, box.width, box.height].map(Math.round);
    });
  document.body.dataset.firstScreen = JSON.stringify({answer: bottom("answer"), strip: bottom("strip"),
    height: window.innerHeight, width: window.innerWidth, scrollWidth: document.documentElement.scrollWidth});
  document.body.dataset.labels = JSON.stringify(labels);
}

// For the tests: follows each link of the strip as a click does, and counts those that
// bring their match onto the screen.
async function checkStripLinks() {
  const links = Array.from(document.querySelectorAll("a.strip-match"));
  let shown = 0;
  for (const link of links) {
    link.click();
    await new Promise((resolve) => setTimeout(resolve, 0));
    const target = goToMatch();
    const box = target ? target.getBoundingClientRect() : null;
    if (box && box.bottom > 0 && box.top < window.innerHeight && link.hash === location.hash) shown++;
  }
  window.scrollTo(0, 0);
  document.body.dataset.stripLinks = `${shown}/${links.length}`;
}

if (CHECKING) {
  const errors = [];
  document.body.dataset.errors = "0";
  window.addEventListener("error", (event) => {
    errors.push(String(event.message));
    document.body.dataset.errors = String(errors.length);
  });
}
layOutAnswer();
layOutStrip();
layOutComparison();
layOutHeadline();
layOutMatchTable();
serverCharts(document.getElementById("server-chart"));
layOutDays();
layOutMatches();
followTheWindow();
document.getElementById("legend").textContent = LAYOUT.legend;
fitStripLabels();
window.addEventListener("resize", fitStripLabels);
window.addEventListener("hashchange", goToMatch);
if (!CHECKING) goToMatch();
if (CHECKING) {
  markFirstScreen();
  markDrawn();
  if (CHECK_LINKS) checkStripLinks();
}
