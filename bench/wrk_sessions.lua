-- wrk script: each thread takes its share of the signed-in sessions in $BENCH_COOKIES (one
-- "NAME=value" a line, $BENCH_SHARE a thread) and sends its requests with them in turn, so
-- that every connection works in a session of its own.
local cookies, threads = {}, 0

function setup(thread)
  if #cookies == 0 then
    for line in io.lines(os.getenv("BENCH_COOKIES")) do cookies[#cookies + 1] = line end
  end
  local share = tonumber(os.getenv("BENCH_SHARE"))
  thread:set("first", threads * share)
  thread:set("share", share)
  thread:set("all", table.concat(cookies, "\n"))
  threads = threads + 1
end

function init(args)
  mine, turn = {}, 0
  local i = 0
  for line in all:gmatch("[^\n]+") do
    if i >= first and i < first + share then mine[#mine + 1] = line end
    i = i + 1
  end
end

function request()
  turn = turn % #mine + 1
  return wrk.format(nil, nil, { Cookie = mine[turn] })
end
