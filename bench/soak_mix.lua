-- wrk script for bench/soak.sh: each connection cycles through a static file, the signed-in
-- list page, a form post and a page that starts a new session (sent without a cookie). Each
-- thread (one connection each) has a signed-in session of its own from $SOAK_COOKIES, one
-- "NAME=value" a line: one session's requests run one at a time.
local cookies, threads = {}, 0

function setup(thread)
  if #cookies == 0 then
    for line in io.lines(os.getenv("SOAK_COOKIES")) do cookies[#cookies + 1] = line end
  end
  threads = threads + 1
  thread:set("cookie", cookies[(threads - 1) % #cookies + 1])
end

local form = "name=" .. string.rep("x", 200) .. "&page=2"
local turn = 0

function request()
  turn = turn % 4 + 1
  if turn == 1 then
    return wrk.format("GET", "/include/style.css")
  elseif turn == 2 then
    return wrk.format("GET", "/person/index.asp", { Cookie = cookie })
  elseif turn == 3 then
    return wrk.format("POST", "/soak/post.asp",
                      { ["Content-Type"] = "application/x-www-form-urlencoded" }, form)
  end
  return wrk.format("GET", "/soak/new.asp")
end
