// node per-match.mjs FILE: what a player would write in DuckDB to get per-match figures
// from a performance file. Reads the file with read_csv (the header line, the 15
// columns with their types given) and groups it by MatchGUID: Ping and Latency mean,
// median, 95th percentile and maximum, loss in and out, FPS mean. The median is
// median() (the mean of the two middle values for an even count); the percentile is
// quantile_disc (nearest rank, a value of the match). Prints how many matches and
// rows it read, so the work is not left undone, and the threads DuckDB had.
import { DuckDBInstance } from '@duckdb/node-api';

const file = process.argv[2];
if (!file) {
  console.error('usage: node per-match.mjs FILE');
  process.exit(2);
}

const columns = `{
  'Timestamp': 'TIMESTAMP', 'UserID': 'VARCHAR', 'MatchGUID': 'VARCHAR',
  'ServerIP': 'VARCHAR', 'ServerPort': 'VARCHAR', 'Playlist': 'INTEGER',
  'FPS': 'INTEGER', 'Ping': 'INTEGER', 'Latency': 'INTEGER',
  'PacketsOut': 'INTEGER', 'PacketsIn': 'INTEGER',
  'LostPacketsOut': 'INTEGER', 'LostPacketsIn': 'INTEGER',
  'Buffer': 'INTEGER', 'BufferTarget': 'INTEGER'}`;
const quoted = `'${file.replaceAll("'", "''")}'`;

const perMatch = `
  SELECT MatchGUID, count(*) AS rows,
         avg(Ping) AS ping_mean, median(Ping) AS ping_median,
         quantile_disc(Ping, 0.95) AS ping_p95, max(Ping) AS ping_max,
         avg(Latency) AS latency_mean, median(Latency) AS latency_median,
         quantile_disc(Latency, 0.95) AS latency_p95, max(Latency) AS latency_max,
         sum(LostPacketsIn) / sum(PacketsIn) AS loss_in,
         sum(LostPacketsOut) / sum(PacketsOut) AS loss_out,
         avg(FPS) AS fps_mean
  FROM read_csv(${quoted}, header = true, columns = ${columns})
  GROUP BY MatchGUID`;

const instance = await DuckDBInstance.create(':memory:');
const connection = await instance.connect();
const result = await connection.runAndReadAll(perMatch);
const rows = result.getColumns()[1].reduce((sum, count) => sum + count, 0n);
const threads = (await connection.runAndReadAll("SELECT current_setting('threads')")).getRows()[0][0];
console.log(`${result.currentRowCount} matches from ${rows} rows, DuckDB on ${threads} threads`);
